// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

#include "platform/keyboardhandover.h"
#include "platform/runtime.h"
#include "score/dlgscore.h"

#include <QAction>

Form1::Form1(Runtime &runtime, Module1 &module, QWidget *parent)
    : QWidget(parent)
    , m_runtime(runtime)
    , m_module(module)
{
    ui.setupUi(this);
    connect(ui.menuOpen, &QAction::triggered, this, &Form1::menuOpen_Click);
    connect(ui.menuPause, &QAction::triggered, this, &Form1::menuPause_Click);
    connect(ui.menuContinue, &QAction::triggered, this, &Form1::menuContinue_Click);
    connect(ui.mnuScore, &QAction::triggered, this, &Form1::mnuScore_Click);
    connect(ui.menuExit, &QAction::triggered, this, &Form1::menuExit_Click);
    connect(ui.lblTitle, &Label::mouseDown, this, &Form1::lblTitle_MouseDown);
    for (int row = 1; row <= 4; ++row) {
        connect(ui.lblShow[row], &Label::mouseDown, this,
            [this, row](Qt::MouseButton button) { lblShow_MouseDown(row, button); });
    }
    connect(ui.Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(ui.Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    connect(ui.Timer1, &Timer::enabledChanged, this, [this](bool enabled) {
        if (enabled)
            m_clock.run(m_runtime.monotonicMs());
        else
            m_clock.stop(m_runtime.monotonicMs());
    });
    if (ui.Timer1->isEnabled())
        m_clock.run(m_runtime.monotonicMs());
    for (int row = 1; row <= 3; ++row) {
        ui.txtinput[row]->setKeyPressHandler(
            [this](int index, char32_t code, TypingBox::Source source) {
                return txtinput_KeyPress(index, code, source);
            });
        connect(ui.txtinput[row], &TypingBox::mouseDown, this, &Form1::txtinput_MouseDown);
        connect(ui.txtinput[row], &TypingBox::menuKey, this, &Form1::txtinput_MenuKey);
    }
}

Form1::~Form1()
{
    // The score dialog has no owner; it must not outlive the window it reports to.
    delete m_scoreDialog;
}
