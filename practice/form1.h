// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main practice window.
//
// Form1 owns the practice state and the controls of forms/form1ui.h, and gives them
// their behaviour, one concern to a file:
//   startup.cpp     Form_Load lays the window out once; ChuShiHua resets and starts a
//                   practice (at start-up, from the Open command, after a failure and
//                   after the score dialog);
//   textreading.cpp choosing and loading the practice text, free input, ReadString
//                   (the next block of three rows) and AdvanceRow (the next row);
//   keystrokes.cpp  txtinput_KeyPress counts and checks every character typed;
//   clock.cpp       the practice clock, the statistics tick and EndPractice, which
//                   opens the score dialog (score/dlgscore.h) and hears back from it;
//   menu.cpp        the pop-up menu: pause, continue, the score report, exit, and
//                   closing the window.
// Everything runs on the user-interface thread; handlers never overlap.

#include "base/module1.h"
#include "forms/form1ui.h"
#include "practiceclock.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>

class KeyboardHandOver;
class Runtime;
class dlgScore;

// The state of one practice. ChuShiHua resets it; the handlers move it along.
struct PracticeState
{
    // Stored practice lines; only 1 to 50 are filled, an empty entry ends the text.
    std::array<QString, 52> TextLines;
    // The next stored line to show.
    qint16 NextLine = 0;
    // The display row being typed, 1 to 3 (4 for a moment after the third row).
    qint16 CurRow = 0;
    // Position within the current row of the character to type next, from 1.
    qint16 CharPos = 0;
    // Length of the current row's text.
    qint16 RowLen = 0;
    // The practice clock.
    qint16 Tenths = 0;
    qint16 Seconds = 0;
    qint16 Minutes = 0;
    // Keystrokes counted in this practice.
    qint32 TypedChars = 0;
    // The practice has no text: keys are only counted.
    VbBool FreeInput = VbFalse;
};

class Form1 final : public QWidget, private PracticeState
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form1)
public:
    Form1(Runtime &runtime, Module1 &module, QWidget *parent = nullptr);
    ~Form1() override;

    const PracticeState &state() const { return *this; }
    // The score dialog of the practice that ended last, while it is open.
    dlgScore *scoreDialog() const;

    // A practice file named on the command line: the first open-file dialog opens in
    // its folder with it selected.
    void setPracticeFile(const QString &path) { m_practiceFile = path; }

    void Form_Load();
    void ChuShiHua();
    void ReadString();
    // Called by the keystroke check when the current row is complete.
    void AdvanceRow();
    void menuOpen_Click();
    // The score dialog's OK: back to a new practice.
    void scoreDialogAccepted();

    // Every character typed into a typing box, before the box takes it; says whether
    // the box takes it.
    TypingBox::Verdict txtinput_KeyPress(int Index, char32_t KeyAscii, TypingBox::Source source);
    void Timer1_Timer();
    void Timer2_Timer();

    // A right button opens the pop-up menu on the window's background, the title,
    // a display row or a typing box.
    void Form_MouseDown(Qt::MouseButton Button);
    void lblTitle_MouseDown(Qt::MouseButton Button);
    void lblShow_MouseDown(int Index, Qt::MouseButton Button);
    void txtinput_MouseDown(int Index, Qt::MouseButton Button);
    // The Menu key or Shift+F10 in a typing box opens the pop-up menu at that box.
    void txtinput_MenuKey(int Index);
    void menuPause_Click();
    void menuContinue_Click();
    void mnuScore_Click();
    void menuExit_Click();

    Ui::Form1 ui;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    // Form_Unload: closing the window drops the practice.
    void closeEvent(QCloseEvent *event) override;

private:
    void popUpMenuOn(Qt::MouseButton button);
    // While this window takes no input (it is disabled while the score dialog is open, or
    // blocked by a modal dialog), a click on it hands the keyboard back to the window it
    // belongs to: the modal dialog or message open, else the score dialog.
    QWidget *keyboardOwner() const;
    void handOverKeyboard();
    // Watches for such clicks while this window takes no input.
    void watchHandOver();
    void chooseTextSource();
    bool loadText(const QString &fileName);
    void enterFreeInput();
    void EndPractice();
    TypingBox::Verdict checkKey(int index, char32_t keyAscii, TypingBox::Source source);
    // A keystroke's statistics and marker reach the screen after the typed character:
    // their captions and colours change at once, but they are painted only once the
    // window has painted the box, later in the same turn of the event loop.
    void paintStatisticsAfterBox();
    void releaseStatistics();
    // Too many errors: the message, then a new practice.
    void failPractice();
    void failPracticeAfterCommit();

    Runtime &m_runtime;
    Module1 &m_module;
    // The practice clock runs while Timer1 does; it starts from the tenths digit that
    // the previous practice left.
    PracticeClock m_clock;
    qint16 m_clockBaseTenths = 0;
    QPointer<dlgScore> m_scoreDialog;
    std::unique_ptr<KeyboardHandOver> m_handOver;
    // Whether statistics are held back, and where they were when they were held.
    bool m_statisticsHeld = false;
    std::array<QRect, 5> m_heldPlaces;
    QString m_practiceFile;
};
