// SPDX-License-Identifier: GPL-3.0-or-later
#include "report.h"

#include <QFile>
#include <QStringEncoder>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString FieldLead = QStringLiteral("<p><font color =0000FF  > <body bgcolor=008f70>");

// How long a save waits for another running copy of the program to finish its own.
constexpr int LockAttempts = 100;
constexpr int LockPauseMs = 50;

// A name pasted with line breaks or other control characters would break the
// entry's fixed 13 lines; such characters become spaces.
QString oneLineName(QString name)
{
    for (QChar &c : name) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    return name;
}

// Closes a file descriptor when it goes out of scope.
class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    { }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Opens the report for appending, creating it when missing, without following a
// symbolic link in its place and without waiting on a pipe; only a regular file is
// accepted. *created tells whether this call made the file.
int openReport(const QByteArray &path, bool *created)
{
    constexpr int Flags = O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    int fd = ::open(path.constData(), Flags | O_CREAT | O_EXCL, 0666);
    *created = fd >= 0;
    if (fd < 0 && errno == EEXIST)
        fd = ::open(path.constData(), Flags);
    if (fd < 0)
        return -1;
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Takes an advisory write lock on the whole file, waiting a while for another copy
// of the program that holds it. POSIX record locks reach network file systems too.
bool lockWhole(int fd)
{
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    for (int attempt = 0; attempt < LockAttempts; ++attempt) {
        if (::fcntl(fd, F_SETLK, &lock) == 0)
            return true;
        if (errno != EACCES && errno != EAGAIN && errno != EINTR)
            return false;
        QThread::msleep(LockPauseMs);
    }
    return false;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

} // namespace

QByteArray reportEntryBytes(const ReportEntry &entry)
{
    QStringList lines;
    lines.append(QStringLiteral("<p><font color =0000FF face =arial >"));
    lines.append(entry.date + QLatin1Char(' ') + entry.time + QStringLiteral("</font></p>"));
    for (size_t i = 0; i < entry.titles.size(); ++i) {
        const QString value
            = i == 0 ? oneLineName(entry.values[i]).toHtmlEscaped() : entry.values[i];
        lines.append(FieldLead);
        lines.append(entry.titles[i] + QStringLiteral("  ") + QStringLiteral(" <font color=FFFF00>")
            + value + QStringLiteral("</p>"));
    }
    lines.append(QString());

    QStringEncoder encoder("GB18030");
    QByteArray bytes;
    for (const QString &line : std::as_const(lines)) {
        bytes += encoder.encode(line);
        bytes += "\r\n";
    }
    return bytes;
}

bool appendWhole(const QString &path, const QByteArray &bytes)
{
    const QByteArray name = QFile::encodeName(path);
    // A copy that removed the file it had just created (its save failed) may have
    // done so while this one waited for the lock: then open it anew.
    for (int attempt = 0; attempt < 3; ++attempt) {
        bool created = false;
        const Descriptor fd(openReport(name, &created));
        if (fd.get() < 0 || !lockWhole(fd.get()))
            return false;
        struct stat status = {};
        if (::fstat(fd.get(), &status) != 0)
            return false;
        if (status.st_nlink == 0)
            continue;

        // Under the lock no other copy writes, so this size is where this entry begins,
        // and cutting back to it takes away nothing but this entry's own bytes.
        const off_t sizeBefore = status.st_size;
        if (writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0)
            return true;
        if (created && sizeBefore == 0)
            ::unlink(name.constData());
        else if (::ftruncate(fd.get(), sizeBefore) == 0)
            ::fsync(fd.get());
        return false;
    }
    return false;
}
