#include "fakeruntime.h"

#include <QAction>

void FakeRuntime::msgBox(QWidget *, const QString &prompt, int style, const QString &title)
{
    messages.append({ prompt, style, title.isEmpty() ? applicationTitle() : title });
    if (onMessage)
        onMessage(messages.constLast());
}

QString FakeRuntime::showOpenDialog(
    QWidget *, const QString &presetName, const QString &filter, int filterIndex)
{
    dialogs.append({ presetName, filter, filterIndex });
    if (openAnswers.isEmpty())
        return presetName;
    const QString answer = openAnswers.dequeue();
    return answer == cancelAnswer() ? presetName : answer;
}

QAction *FakeRuntime::popupMenu(QMenu *, const QPoint &globalPos)
{
    popups.append(globalPos);
    QAction *choice = menuChoices.isEmpty() ? nullptr : menuChoices.dequeue();
    if (choice)
        choice->trigger();
    return choice;
}

bool FakeRuntime::openInViewer(const QString &path)
{
    opened.append(path);
    return viewerStarts;
}
