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

void PracticeFixture::type(TypingBox *target, const QString &text)
{
    for (QChar c : text) {
        // Control characters arrive with the key that produces them.
        int key = c.toUpper().unicode();
        if (c == QLatin1Char('\r'))
            key = Qt::Key_Return;
        else if (c == QLatin1Char('\x1b'))
            key = Qt::Key_Escape;
        else if (c == QLatin1Char('\b'))
            key = Qt::Key_Backspace;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
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
