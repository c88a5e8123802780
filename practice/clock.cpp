// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"
#include "statistics.h"

#include "base/format.h"
#include "platform/keyboardhandover.h"
#include "platform/runtime.h"
#include "score/dlgscore.h"

#include <QWindow>

namespace {

// One more minute than this ends the program.
constexpr qint64 LastMinute = 32765;

} // namespace

void Form1::Timer1_Timer()
{
    const qint64 tenths = m_clockBaseTenths + m_clock.tenths(m_runtime.monotonicMs());
    const qint64 minutes = tenths / 600;
    if (minutes > LastMinute) {
        Minutes = 0;
        m_runtime.endProgram();
    }
    Tenths = qint16(tenths % 10);
    Seconds = qint16(tenths / 10 % 60);
    Minutes = qint16(minutes);

    ui.lblResult[3]->setCaption(
        QStringLiteral("时间：%1:%2:%3").arg(Minutes).arg(Seconds).arg(Tenths));
}

void Form1::Timer2_Timer()
{
    ui.lblTime->setCaption(formatTime12(m_runtime.now().time()));
    if (FreeInput)
        return;

    // Each label keeps its text when there is nothing to show.
    const std::optional<float> speed = typingSpeed(TypedChars, Minutes, Seconds);
    if (speed)
        ui.lblSpeed3->setCaption(formatHashDotHash(*speed));
    if (const auto score = typingScore(TypedChars, m_module.ErrorCount, speed.value_or(0)))
        ui.lblRight2->setCaption(formatHashDotHash(*score));
}

void Form1::EndPractice()
{
    ui.Timer1->setEnabled(false);
    ui.Timer2->setEnabled(false);

    // At the very first start with an empty text no row has been current yet.
    if (CurRow >= 1 && CurRow <= 4)
        ui.lblSign[CurRow]->setVisible(false);

    for (int row = 1; row <= 3; ++row)
        ui.txtinput[row]->setEnabled(false);
    setEnabled(false);

    // The score dialog takes the final figures from this window; it is not modal, and
    // this returns at once. Its OK button enables this window again.
    auto *dialog = new dlgScore(m_runtime,
        { m_module.TotalChars, ui.lblSpeed3->caption(), ui.lblRight2->caption(),
            m_module.ErrorCount });
    m_scoreDialog = dialog;
    // Queued: the next practice's open-file dialog is not to run inside the score
    // dialog's own handlers.
    connect(dialog, &dlgScore::accepted, this, &Form1::scoreDialogAccepted, Qt::QueuedConnection);
    connect(dialog, &dlgScore::exitRequested, this, &Form1::menuExit_Click);
    // It belongs with this window: the desktop keeps it above this one and gives it the
    // keyboard as it appears, so the name typed next goes into it. (A tool window with no
    // window of its own to belong to is tied to a hidden one no desktop accepts.)
    dialog->winId();
    dialog->windowHandle()->setTransientParent(windowHandle());
    watchHandOver();
    dialog->Form_Load();
    dialog->activateWindow();
}

void Form1::scoreDialogAccepted()
{
    setEnabled(true);
    watchHandOver();
    ChuShiHua();
}

dlgScore *Form1::scoreDialog() const
{
    return m_scoreDialog;
}
