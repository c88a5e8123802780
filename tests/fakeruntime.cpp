// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakeruntime.h"

#include <QAction>

#include <stdexcept>

bool EndingApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const ProgramEnded &) {
        return true;
    }
}

void FakeRuntime::endProgram()
{
    ++endCalls;
    throw ProgramEnded();
}

void FakeRuntime::msgBox(QWidget *, const QString &prompt, MsgBoxStyle style, const QString &title)
{
    messages.append({ prompt, style, title.isEmpty() ? applicationTitle() : title });
    if (onMessage)
        onMessage(messages.constLast());
}

QString FakeRuntime::showOpenDialog(QWidget *, const QString &presetName, const QString &filter,
    int filterIndex, const QString &selectedFile)
{
    // A program that asks again and again (say, when it takes a cancel for a chosen
    // file that cannot be read) would loop for ever on a double that always cancels.
    if (dialogs.size() >= maxDialogs)
        throw std::runtime_error("the open-file dialog was shown over and over");
    dialogs.append({ presetName, filter, filterIndex, selectedFile });
    if (onOpenDialog)
        onOpenDialog();
    if (openAnswers.isEmpty())
        return presetName;
    const QString answer = openAnswers.dequeue();
    return answer == cancelAnswer() ? presetName : answer;
}

QAction *FakeRuntime::popupMenu(QMenu *, const QPoint &globalPos)
{
    popups.append(globalPos);
    QAction *choice = menuChoices.isEmpty() ? nullptr : menuChoices.dequeue();
    // As the menu does for an item chosen: its signal straight from here, so that an end
    // of the program it leads to passes through no code of Qt's.
    if (choice)
        Q_EMIT choice->triggered(false);
    return choice;
}

void FakeRuntime::openInViewer(
    const QString &path, QObject *context, std::function<void(bool shown)> done)
{
    opened.append(path);
    if (done)
        QMetaObject::invokeMethod(
            context, [this, done] { done(viewerStarts); }, Qt::QueuedConnection);
}
