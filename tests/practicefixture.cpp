#include "practicefixture.h"

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
