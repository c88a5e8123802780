// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The score dialog's controls as they are created: the result labels, the name box,
// the four picture buttons, the learner's picture, the hidden frame of award cells
// and the one-minute timer, whose tenth tick ends the program. score/ gives them their
// behaviour.

#include "controlarray.h"
#include "label.h"
#include "timer.h"

class QFrame;
class QLineEdit;
class QToolButton;
class QWidget;

namespace Ui {

struct dlgScore
{
    // Where the client area sits on the screen and how large it is, in twips.
    static constexpr int ScreenLeft = 2760;
    static constexpr int ScreenTop = 3750;
    static constexpr int ClientWidth = 6300;
    static constexpr int ClientHeight = 4125;

    Label *lblDate = nullptr;
    Label *lblTime = nullptr;
    ControlArray<Label, 0, 4> lblTitle;
    ControlArray<Label, 1, 4> lblScore;
    QLineEdit *txtResult = nullptr;

    QToolButton *cmdOK = nullptr;
    QToolButton *cmdSave = nullptr;
    QToolButton *cmdExit = nullptr;
    QToolButton *cmdScore = nullptr;

    Label *imgPlayer = nullptr;
    QFrame *picFrame1 = nullptr;
    ControlArray<Label, 1, 14> Image2;

    Timer *Timer1 = nullptr;

    void setupUi(QWidget *dialog);
};

} // namespace Ui
