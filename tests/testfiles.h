// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QTemporaryDir;

// Writes bytes to a new file in dir and returns its full path.
QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes);

// Text in GB18030 (GBK for the characters GBK has), as a Chinese system would save it.
QByteArray gbk(const QString &text);

// n lines "line 1", "line 2", ... each ended by CR LF.
QByteArray numberedLines(int n);

// Makes a folder the working directory for the lifetime of the object: the program
// saves its report there.
class WorkingDirectory
{
public:
    explicit WorkingDirectory(const QString &path);
    ~WorkingDirectory();

private:
    QString m_saved;
};

// Makes a named pipe ("fifo") or a listening socket ("socket") at path for the lifetime
// of the object; any other kind makes nothing. Should a reader or a writer ever block
// on the pipe, a watchdog opens its other end after a few seconds, so the test fails
// by its own assertions instead of hanging.
class SpecialFile
{
public:
    SpecialFile(const QString &kind, const QString &path);
    ~SpecialFile();

    // Whether the watchdog had to release someone stuck on the pipe.
    bool blocked() const;

private:
    struct Watchdog;
    int m_socket = -1;
    std::unique_ptr<Watchdog> m_watchdog;
};
