// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

#include "platform/runtime.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QMouseEvent>

void Form1::popUpMenuOn(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        m_runtime.popupMenu(ui.menuFile, QCursor::pos());
}

void Form1::Form_MouseDown(Qt::MouseButton Button)
{
    popUpMenuOn(Button);
}

void Form1::lblTitle_MouseDown(Qt::MouseButton Button)
{
    popUpMenuOn(Button);
}

void Form1::lblShow_MouseDown(int, Qt::MouseButton Button)
{
    popUpMenuOn(Button);
}

void Form1::txtinput_MouseDown(int, Qt::MouseButton Button)
{
    popUpMenuOn(Button);
}

void Form1::txtinput_MenuKey(int Index)
{
    const TypingBox *box = ui.txtinput[Index];
    const QRect caret = box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    m_runtime.popupMenu(ui.menuFile, box->mapToGlobal(QPoint(caret.left(), box->height())));
}

void Form1::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    Form_MouseDown(event->button());
}

void Form1::menuPause_Click()
{
    ui.Timer1->setEnabled(false);
    ui.Timer2->setEnabled(false);
    // Between practices no row is current and there is no box to lock.
    if (CurRow >= 1 && CurRow <= 3)
        ui.txtinput[CurRow]->setLocked(true);
}

void Form1::menuContinue_Click()
{
    ui.Timer1->setEnabled(true);
    ui.Timer2->setEnabled(true);
    if (CurRow >= 1 && CurRow <= 3)
        ui.txtinput[CurRow]->setLocked(false);
}

void Form1::mnuScore_Click()
{
    // Opening the report is a convenience: any failure is silent.
    m_runtime.openInViewer(m_module.AppPath + QDir::separator() + reportFileName(), this, {});
}

void Form1::menuExit_Click()
{
    m_runtime.endProgram();
}

void Form1::closeEvent(QCloseEvent *event)
{
    // While the score dialog is open this window is disabled and takes no input; the
    // window manager's close box and Alt+F4 are refused too, so the dialog stays the
    // one window in use and its result is not dropped.
    if (!isEnabled()) {
        event->ignore();
        handOverToScoreDialog();
        return;
    }
    ui.CommonDialog1.fileName.clear();
    event->accept();
}

bool Form1::event(QEvent *event)
{
    // A desktop may give this window the keyboard while it is disabled (a click on it):
    // it hands the keyboard straight back to the score dialog, which waits for a name.
    if (event->type() == QEvent::WindowActivate && !isEnabled())
        handOverToScoreDialog();
    return QWidget::event(event);
}

void Form1::handOverToScoreDialog()
{
    if (!m_scoreDialog)
        return;
    // A Wayland client may activate a window only with a token from the compositor, which
    // Qt 6.4 does not ask for; a window shown anew, above the window that has the
    // keyboard, is given it.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        m_scoreDialog->hide();
        m_scoreDialog->show();
    } else {
        m_scoreDialog->activateWindow();
    }
}
