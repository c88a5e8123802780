// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

#include "app/format.h"
#include "app/runtime.h"
#include "score/dlgscore.h"

#include <QWindow>

namespace {

// One more minute than this ends the program.
constexpr qint64 LastMinute = 32765;
// Speeds above this count as this much in the score.
constexpr float ScoredSpeedCap = 125;
constexpr double ScoreFactor = 0.8;
constexpr float ScoreCap = 100;

} // namespace

void Form1::Timer1_Timer()
{
    const qint64 tenths = m_clockBaseTenths + m_clock.tenths(m_runtime.monotonicMs());
    const qint64 minutes = tenths / 600;
    if (minutes > LastMinute) {
        Minutes = 0;
        m_runtime.endProgram();
        return;
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

    float speed = 0;
    if (Minutes > 0 || Seconds > 0) {
        speed = float(TypedChars / (Seconds / 60.0 + Minutes));
        ui.lblSpeed3->setCaption(formatHashDotHash(speed));
    }

    if (TypedChars != 0 && TypedChars >= m_module.ErrorCount) {
        if (speed > ScoredSpeedCap)
            speed = ScoredSpeedCap;
        float score
            = float(double(TypedChars - m_module.ErrorCount) / TypedChars * (speed * ScoreFactor));
        if (score > ScoreCap)
            score = ScoreCap;
        ui.lblRight2->setCaption(formatHashDotHash(score));
    }
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
    m_scoreDialog = new dlgScore(m_runtime, m_module, *this);
    // It belongs with this window: the desktop keeps it above this one and gives it the
    // keyboard as it appears, so the name typed next goes into it. (A tool window with no
    // window of its own to belong to is tied to a hidden one no desktop accepts.)
    m_scoreDialog->winId();
    m_scoreDialog->windowHandle()->setTransientParent(windowHandle());
    m_scoreDialog->Form_Load();
    m_scoreDialog->activateWindow();
}
