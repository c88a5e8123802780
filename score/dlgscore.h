// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The score dialog.
//
// dlgScore opens when a practice has used up its text, with the result handed to it:
// it chooses the award pictures (awards.h) and takes the learner's name. Save appends
// the result to the report (report.h). The dialog decides nothing about the practice:
// it says by a signal that the learner chose OK (or closed it) or Exit, or that its
// one-minute timer's tenth tick has saved the result, and the window that made it acts.
// A new instance is made for every finished practice and discarded by OK.

#include "base/module1.h"
#include "forms/dlgscoreui.h"

#include <QList>
#include <QWidget>

#include <functional>

class Runtime;
struct SaveResult;

// What the dialog shows of a finished practice.
struct PracticeResult
{
    qint32 totalChars = 0;
    // The speed and the score as the main window shows them.
    QString speed;
    QString score;
    qint32 errorCount = 0;
};

class dlgScore final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(dlgScore)
public:
    dlgScore(Runtime &runtime, const PracticeResult &result);

    void Form_Load();
    void Timer1_Timer();
    void cmdSave_Click();
    void cmdScore_Click();
    void cmdOK_Click();
    void cmdExit_Click();

    bool isSaved() const { return Saved != VbFalse; }
    // A save waits for another program to finish with the report.
    bool isSaving() const { return m_saving; }
    qint16 ticks() const { return Ticks; }

    Ui::dlgScore ui;

Q_SIGNALS:
    // OK, or the window closed by other means: back to practice.
    void accepted();
    // Exit, or the tenth tick after its save: the program is to end at once.
    void exitRequested();

protected:
    // Closing the window by any means acts as OK.
    void closeEvent(QCloseEvent *event) override;

private:
    // Saves the result unless it is saved, then runs then. While a save waits for another
    // program to finish with the report (a few seconds at most, the window responsive),
    // the commands given meanwhile wait for it too: they act once it is done, in order.
    void save(std::function<void()> then = {});
    void saveFinished(const SaveResult &result);
    // Runs a command now, or once the save under way is done.
    bool deferredBySave(std::function<void()> command);

    Runtime &m_runtime;
    const PracticeResult m_result;
    bool m_saving = false;
    QList<std::function<void()>> m_afterSave;

    VbBool Saved = VbFalse;
    VbBool ClosingByOK = VbFalse;
    qint16 Ticks = 0;
};
