#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write test file %s", qPrintable(path));
    return path;
}

QByteArray gbk(const QString &text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

WorkingDirectory::WorkingDirectory(const QString &path)
    : m_saved(QDir::currentPath())
{
    if (!QDir::setCurrent(path))
        qFatal("cannot enter %s", qPrintable(path));
}

WorkingDirectory::~WorkingDirectory()
{
    QDir::setCurrent(m_saved);
}

QByteArray numberedLines(int n)
{
    QByteArray bytes;
    for (int i = 1; i <= n; ++i)
        bytes += "line " + QByteArray::number(i) + "\r\n";
    return bytes;
}
