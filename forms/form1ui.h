// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main practice window's controls as they are created: names, array indexes,
// positions, sizes, colours, fonts, captions, tool tips, the two timers, the open-file
// dialog and the hidden pop-up menu. No behaviour lives here; practice/ drives them.

#include "controlarray.h"
#include "label.h"
#include "timer.h"
#include "typingbox.h"

class QAction;
class QMenu;
class QWidget;

namespace Ui {

struct Form1
{
    // The client area the controls are laid out in, in twips.
    static constexpr int ClientWidth = 11880;
    static constexpr int ClientHeight = 8595;

    Label *lblTitle = nullptr;
    Label *lblSpeed1 = nullptr;
    Label *lblSpeed3 = nullptr;
    Label *lblSpeed2 = nullptr;
    Label *lblRight1 = nullptr;
    Label *lblRight2 = nullptr;
    Label *lblErr1 = nullptr;
    Label *lblErr2 = nullptr;
    Label *lblErr3 = nullptr;
    Label *lblTime = nullptr;
    Label *lblDate = nullptr;
    ControlArray<Label, 1, 3> lblResult;

    ControlArray<Label, 1, 4> lblShow;
    ControlArray<Label, 1, 4> lblSign;
    ControlArray<TypingBox, 1, 3> txtinput;

    Timer *Timer1 = nullptr;
    Timer *Timer2 = nullptr;

    // The open-file dialog's settings, as the practice code sets them and reads the
    // chosen name back; the run-time services show the dialog.
    struct
    {
        QString fileName;
        QString filter;
        int filterIndex = 0;
        // A file to select as the dialog opens, once.
        QString selectedFile;
    } CommonDialog1;

    QMenu *menuFile = nullptr;
    QAction *menuOpen = nullptr;
    QAction *menuPause = nullptr;
    QAction *menuContinue = nullptr;
    QAction *mnuScore = nullptr;
    QAction *menuExit = nullptr;

    void setupUi(QWidget *form);
};

} // namespace Ui
