// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

#include "base/characters.h"
#include "base/checked.h"
#include "forms/design.h"
#include "platform/afterrepaint.h"
#include "platform/runtime.h"

#include <array>
#include <cmath>

namespace {

constexpr char32_t Backspace = 8;
// In free input a box that holds more than this many characters is full.
constexpr qsizetype FreeInputFull = 28;
// The share of the text's characters that the errors may reach.
constexpr double ErrorShare = 0.33;

QString typedCount(qint32 typedChars)
{
    return QStringLiteral("键入字符：") + QString::number(typedChars);
}

// What a keystroke changes besides its box: the typed and error counts, the markers.
std::array<QWidget *, 5> statistics(const Ui::Form1 &ui)
{
    return { ui.lblResult[2], ui.lblErr2, ui.lblSign[1], ui.lblSign[2], ui.lblSign[3] };
}

} // namespace

void Form1::failPractice()
{
    m_runtime.msgBox(
        this, QStringLiteral("任务失败！！"), MsgBoxStyle::Critical, QStringLiteral("错误"));
    menuOpen_Click();
}

void Form1::paintStatisticsAfterBox()
{
    if (m_statisticsHeld)
        return;
    const auto held = statistics(ui);
    for (size_t i = 0; i < held.size(); ++i) {
        m_heldPlaces[i] = held[i]->isVisible() ? held[i]->geometry() : QRect();
        held[i]->setUpdatesEnabled(false);
    }
    m_statisticsHeld = true;
    runAfterRepaint(this, [this] { releaseStatistics(); });
}

void Form1::releaseStatistics()
{
    m_statisticsHeld = false;
    const auto held = statistics(ui);
    for (size_t i = 0; i < held.size(); ++i) {
        held[i]->setUpdatesEnabled(true);
        // A widget whose updates are off leaves the place it had to no one when it moves,
        // shrinks or hides: the window paints that place again.
        const QRect now = held[i]->isVisible() ? held[i]->geometry() : QRect();
        if (m_heldPlaces[i] != now)
            update(m_heldPlaces[i]);
    }
}

TypingBox::Verdict Form1::txtinput_KeyPress(int Index, char32_t KeyAscii, TypingBox::Source source)
{
    paintStatisticsAfterBox();
    // Any run-time failure here (a counter leaving its width, a missing row, a failure
    // while moving on) discards the key with a beep; what was already updated stays.
    try {
        return checkKey(Index, KeyAscii, source);
    } catch (const RuntimeError &) {
        m_runtime.beep();
        return TypingBox::Verdict::Drop;
    }
}

void Form1::failPracticeAfterCommit()
{
    // The rest of the keystroke's handling, run just after the input method's event:
    // a failure of the restart is trapped as it is within the handler.
    try {
        failPractice();
    } catch (const RuntimeError &) {
        m_runtime.beep();
    }
}

TypingBox::Verdict Form1::checkKey(int index, char32_t keyAscii, TypingBox::Source source)
{
    using Verdict = TypingBox::Verdict;
    // A locked current box means the practice is paused: the key changes nothing (and a
    // locked box takes nothing).
    TypingBox *current = ui.txtinput[CurRow];
    if (current->isLocked())
        return Verdict::Take;

    if (keyAscii == Backspace) {
        // Backspace takes back a keystroke, never an error.
        if (!current->text().isEmpty()) {
            TypedChars = std::max<qint32>(checkedSub<qint32>(TypedChars, 1), 0);
            ui.lblResult[2]->setCaption(typedCount(TypedChars));
        }
        return Verdict::Take;
    }

    // Keys are compared as if appended, wherever the caret is.
    TypingBox *box = ui.txtinput[index];
    const QString typed = QStringView(QChar::fromUcs4(keyAscii)).toString();
    CharPos = checkedNarrow<qint16>(characterCount(box->text()) + 1);
    TypedChars = checkedAdd<qint32>(TypedChars, 1);
    ui.lblResult[2]->setCaption(typedCount(TypedChars));
    ui.lblSign[CurRow]->setBackColor(SystemColor::ButtonFace);

    if (FreeInput) {
        if (CharPos - 1 <= FreeInputFull)
            return Verdict::Take;
        // The key that finds the box full moves to the next row and is shown nowhere.
        AdvanceRow();
        return Verdict::Drop;
    }

    const QString expected = characterAt(ui.lblShow[CurRow]->caption(), CharPos);
    if (typed != expected) {
        m_module.ErrorCount = checkedAdd<qint32>(m_module.ErrorCount, 1);
        ui.lblErr2->setCaption(QString::number(m_module.ErrorCount));
        m_runtime.beep();
        ui.lblSign[CurRow]->setBackColor(Colour::Red);
        if (m_module.ErrorCount > std::floor(m_module.TotalChars * ErrorShare)) {
            // The key, and the rest of a phrase it came with, belonged to the abandoned
            // practice: they must not land in, or complete a row of, the new one.
            if (source == TypingBox::Source::Commit) {
                // An input method may hand the same phrase over again when a modal
                // message takes the focus in the middle of its event: the message waits
                // until the event is done, and nothing more is counted meanwhile.
                current->setLocked(true);
                QMetaObject::invokeMethod(
                    this, &Form1::failPracticeAfterCommit, Qt::QueuedConnection);
            } else {
                failPractice();
            }
            return Verdict::DropRest;
        }
    }

    if (CharPos < RowLen)
        return Verdict::Take;
    // The row's last key is entered here, once; AdvanceRow locks the box.
    box->setText(box->text() + typed);
    AdvanceRow();
    return Verdict::Drop;
}
