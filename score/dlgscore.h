// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The score dialog.
//
// dlgScore opens when a practice has used up its text: it copies the result from the
// main window, chooses the award pictures (awards.h) and takes the learner's name.
// Save appends the result to the report (report.h); OK returns to a new practice;
// Exit ends the program, and so does the tenth tick of its one-minute timer.
// A new instance is made for every finished practice and discarded by OK.

#include "app/module1.h"
#include "forms/dlgscoreui.h"

#include <QWidget>

class Form1;
class Runtime;

class dlgScore final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(dlgScore)
public:
    dlgScore(Runtime &runtime, Module1 &module, Form1 &form1);
    ~dlgScore() override;

    void Form_Load();
    void txtResult_KeyPress(char32_t &KeyAscii);
    void Timer1_Timer();
    void cmdSave_Click();
    void cmdScore_Click();
    void cmdOK_Click();
    void cmdExit_Click();

    bool isSaved() const { return Saved != VbFalse; }
    qint16 ticks() const { return Ticks; }

    Ui::dlgScore ui;

protected:
    // Closing the window by any means acts as OK.
    void closeEvent(QCloseEvent *event) override;

private:
    Runtime &m_runtime;
    Module1 &m_module;
    Form1 &m_form1;

    VbBool Saved = VbFalse;
    VbBool ClosingByOK = VbFalse;
    qint16 Ticks = 0;
};
