// SPDX-License-Identifier: GPL-3.0-or-later
#include "practicefixture.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>

QString PracticeFixture::offer(const QByteArray &bytes, const QString &name)
{
    const QString path = writeFile(dir, name, bytes);
    runtime.openAnswers.enqueue(path);
    return path;
}

QStringList PracticeFixture::rows() const
{
    QStringList captions;
    for (int row = 1; row <= 3; ++row)
        captions.append(form.ui.lblShow[row]->caption());
    return captions;
}

int PracticeFixture::visibleMarker() const
{
    int found = 0;
    for (int row = 1; row <= 4; ++row) {
        if (!form.ui.lblSign[row]->isHidden())
            found = found ? -1 : row;
    }
    return found;
}

int PracticeFixture::unlockedBox() const
{
    int found = 0;
    for (int row = 1; row <= 3; ++row) {
        if (!form.ui.txtinput[row]->isLocked())
            found = found ? -1 : row;
    }
    return found;
}

void PracticeFixture::start(const QByteArray &text)
{
    offer(text);
    load();
}

void PracticeFixture::type(QWidget *target, const QString &text)
{
    // One key per character: a character beyond the BMP arrives as one key whose
    // text is a surrogate pair.
    for (char32_t code : text.toUcs4()) {
        const QString c = QStringView(QChar::fromUcs4(code)).toString();
        // Control characters arrive with the key that produces them.
        int key = code < 0x10000 ? QChar(char16_t(code)).toUpper().unicode() : int(Qt::Key_unknown);
        if (code == U'\r')
            key = Qt::Key_Return;
        else if (code == U'\x1b')
            key = Qt::Key_Escape;
        else if (code == U'\b')
            key = Qt::Key_Backspace;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, c);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, c);
        QApplication::sendEvent(target, &release);
    }
}

void PracticeFixture::commit(TypingBox *target, const QString &text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(target, &event);
}

void PracticeFixture::advanceClock(qint64 ms)
{
    runtime.monotonic += ms;
    form.Timer1_Timer();
}
