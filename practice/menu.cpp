// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

#include "platform/keyboardhandover.h"
#include "platform/runtime.h"
#include "score/dlgscore.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QMouseEvent>
#include <QWindow>

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
    // one window in use and its result is not dropped. So is a close while one of the
    // program's modal dialogs (the open-file dialog, a message) waits for an answer: the
    // dialog would go on without the window it belongs to.
    if (keyboardOwner()) {
        event->ignore();
        handOverKeyboard();
        return;
    }
    ui.CommonDialog1.fileName.clear();
    event->accept();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // The desktop moves the keyboard on a moment after the click that handed it over:
    // keys typed meanwhile reach this disabled window, and belong to the score dialog.
    // (While a modal dialog is open Qt delivers them to no window at all.)
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    if (key && watched == windowHandle()) {
        if (QWidget *owner = keyboardOwner(); owner && owner->windowHandle()) {
            QCoreApplication::sendEvent(owner->windowHandle(), event);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool Form1::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        // A desktop gives this window the keyboard when it is clicked, also while it takes
        // no input: the keyboard goes straight back where it belongs.
        handOverKeyboard();
        break;
    case QEvent::WindowBlocked:
    case QEvent::WindowUnblocked:
        watchHandOver();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

QWidget *Form1::keyboardOwner() const
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return isEnabled() ? nullptr : m_scoreDialog.data();
}

void Form1::watchHandOver()
{
    const bool watching = m_handOver != nullptr;
    if (watching == (keyboardOwner() != nullptr))
        return;
    if (watching) {
        m_handOver.reset();
        windowHandle()->removeEventFilter(this);
    } else {
        m_handOver = std::make_unique<KeyboardHandOver>();
        windowHandle()->installEventFilter(this);
    }
}

void Form1::handOverKeyboard()
{
    QWidget *target = keyboardOwner();
    if (!target || !m_handOver)
        return;
    if (m_handOver->handOver(windowHandle(), target->windowHandle()))
        return;
    // A Wayland compositor without the activation protocol gives the keyboard to a window
    // shown anew above the window that has it. A modal dialog cannot be shown anew:
    // hidden, it would be answered.
    if (target == m_scoreDialog) {
        qCDebug(lcHandOver) << "shown anew";
        target->hide();
        target->show();
    }
}
