// SPDX-License-Identifier: GPL-3.0-or-later
#include "report.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QStringEncoder>
#include <QTimer>

#include <chrono>
#include <memory>
#include <thread>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

Q_LOGGING_CATEGORY(lcReport, "keyvale.report", QtWarningMsg)

const QString FieldLead = QStringLiteral("<p><font color =0000FF  > <body bgcolor=008f70>");

// How often a save waiting for the lock tries again.
constexpr qint64 LockPollMs = 10;

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

SaveResult failed(SaveError error, const QString &why)
{
    return { error, why };
}

SaveResult failedWith(int error)
{
    SaveError code = SaveError::Other;
    if (error == ENOSPC || error == EDQUOT)
        code = SaveError::NoSpace;
    else if (error == EFBIG)
        code = SaveError::TooLarge;
    return failed(code, qt_error_string(error));
}

// Whether the name still leads to the open file, and not to one put in its place.
bool stillNamed(const QByteArray &name, int fd)
{
    struct stat opened = {};
    struct stat named = {};
    return ::fstat(fd, &opened) == 0 && ::lstat(name.constData(), &named) == 0
        && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

struct flock wholeFile(short type)
{
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    return lock;
}

int lockWithFcntl(int fd, struct flock *lock)
{
    return ::fcntl(fd, F_SETLK, lock);
}

// Who holds the report's lock, in words: the process, where the system names it (a
// lock held over the network has no process here).
QString lockedBy(int fd)
{
    struct flock holder = wholeFile(F_WRLCK);
    if (::fcntl(fd, F_GETLK, &holder) != 0 || holder.l_type == F_UNLCK || holder.l_pid <= 0)
        return QStringLiteral("locked by another program");
    QFile comm(QStringLiteral("/proc/%1/comm").arg(holder.l_pid));
    const QString name = comm.open(QIODevice::ReadOnly)
        ? QString::fromLocal8Bit(comm.readAll()).trimmed()
        : QString();
    if (name == QLatin1String("keyvale"))
        return QStringLiteral("locked by another running copy of Keyvale (process %1)")
            .arg(holder.l_pid);
    return QStringLiteral("locked by another program (process %1%2)")
        .arg(holder.l_pid)
        .arg(name.isEmpty() ? QString() : QStringLiteral(", ") + name);
}

SaveResult writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return failedWith(errno);
        if (written == 0)
            return failed(SaveError::Other, QStringLiteral("nothing could be written"));
        data += written;
        left -= written;
    }
    if (::fsync(fd) != 0)
        return failedWith(errno);
    return {};
}

// One try at a save of an open report: Locked while another program holds its lock.
SaveResult appendIfFree(ReportFile &file, const QByteArray &bytes, const QByteArray &header)
{
    const SaveResult locked = file.tryLock();
    return locked ? file.append(bytes, header) : locked;
}

} // namespace

int (*setReportLock)(int fd, struct flock *lock) = lockWithFcntl;

QByteArray reportHeaderBytes()
{
    return QByteArrayLiteral("<html><meta charset=\"gb18030\">\r\n");
}

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

ReportFile::~ReportFile()
{
    if (m_fd < 0)
        return;
    // A file this save created and never wrote to goes again, so that no empty report
    // is left behind. Only under the lock: another copy may be writing into it.
    if (m_created) {
        struct flock lock = wholeFile(F_WRLCK);
        const bool heldElsewhere
            = !m_locked && setReportLock(m_fd, &lock) != 0 && (errno == EACCES || errno == EAGAIN);
        struct stat status = {};
        if (!heldElsewhere && ::fstat(m_fd, &status) == 0 && status.st_size == 0
            && stillNamed(m_name, m_fd))
            ::unlink(m_name.constData());
    }
    ::close(m_fd);
}

SaveResult ReportFile::open(const QString &path)
{
    m_name = QFile::encodeName(path);
    return openOnce();
}

SaveResult ReportFile::openOnce()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_locked = false;
    // Appending, without following a symbolic link in the report's place and without
    // waiting on a pipe.
    constexpr int Flags = O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    m_fd = ::open(m_name.constData(), Flags | O_CREAT | O_EXCL, 0666);
    m_created = m_fd >= 0;
    if (m_fd < 0 && errno == EEXIST)
        m_fd = ::open(m_name.constData(), Flags);
    if (m_fd < 0)
        return failedWith(errno);
    struct stat status = {};
    if (::fstat(m_fd, &status) != 0)
        return failedWith(errno);
    if (!S_ISREG(status.st_mode))
        return failed(SaveError::NotRegularFile, QStringLiteral("not a regular file"));
    return {};
}

SaveResult ReportFile::tryLock()
{
    if (m_fd < 0)
        return failed(SaveError::Other, QStringLiteral("not open"));
    for (int attempt = 0; attempt < 3; ++attempt) {
        struct flock lock = wholeFile(F_WRLCK);
        if (setReportLock(m_fd, &lock) != 0) {
            if (errno == EACCES || errno == EAGAIN)
                return failed(SaveError::Locked, lockedBy(m_fd));
            if (errno != ENOLCK && errno != EINVAL && errno != EOPNOTSUPP)
                return failedWith(errno);
            qCDebug(lcReport).noquote() << "the report's file system has no locks ("
                                        << qt_error_string(errno) << "): saving without";
        }
        m_locked = true;
        // A copy whose save failed may have removed the file it had just created while
        // this one waited: then it is opened anew.
        if (stillNamed(m_name, m_fd))
            return {};
        if (const SaveResult reopened = openOnce(); !reopened)
            return reopened;
    }
    return failed(
        SaveError::Replaced, QStringLiteral("removed again and again by another program"));
}

SaveResult ReportFile::append(const QByteArray &bytes, const QByteArray &header)
{
    struct stat status = {};
    if (m_fd < 0 || ::fstat(m_fd, &status) != 0)
        return failed(SaveError::Other, QStringLiteral("not open"));
    // Under the lock no other copy writes, so this size is where these bytes begin,
    // and cutting back to it takes away nothing but their own.
    const off_t sizeBefore = status.st_size;
    SaveResult result = writeAll(m_fd, sizeBefore == 0 ? header + bytes : bytes);
    // Bytes written into a file that another program has meanwhile renamed away or
    // replaced are not in the report.
    const bool named = stillNamed(m_name, m_fd);
    if (result && named) {
        m_created = false;
        return result;
    }
    if (result)
        result = failed(
            SaveError::Replaced, QStringLiteral("replaced by another program during the save"));
    // Cut back to the size before; the destructor removes a file this save created and
    // so left empty.
    if (::ftruncate(m_fd, sizeBefore) == 0)
        ::fsync(m_fd);
    if (!named)
        m_created = false;
    return result;
}

SaveResult appendWhole(const QString &path, const QByteArray &bytes, const QByteArray &header)
{
    ReportFile file;
    if (const SaveResult opened = file.open(path); !opened)
        return opened;
    QElapsedTimer waited;
    waited.start();
    SaveResult result = appendIfFree(file, bytes, header);
    while (result.error == SaveError::Locked && waited.elapsed() < ReportLockWaitMs) {
        std::this_thread::sleep_for(std::chrono::milliseconds(LockPollMs));
        result = appendIfFree(file, bytes, header);
    }
    return result;
}

bool appendWhenFree(const QString &path, const QByteArray &bytes, const QByteArray &header,
    QObject *context, std::function<qint64()> clock, std::function<void(const SaveResult &)> done)
{
    auto file = std::make_shared<ReportFile>();
    SaveResult result = file->open(path);
    if (result)
        result = appendIfFree(*file, bytes, header);
    if (result.error != SaveError::Locked) {
        file.reset();
        done(result);
        return false;
    }
    qCDebug(lcReport).noquote() << "waiting for the report:" << result.reason;
    // The window goes on while the save waits; it tries again at short intervals.
    auto *poll = new QTimer(context);
    const qint64 startMs = clock();
    QObject::connect(poll, &QTimer::timeout, poll, [=]() mutable {
        const SaveResult outcome = appendIfFree(*file, bytes, header);
        if (outcome.error == SaveError::Locked && clock() - startMs < ReportLockWaitMs)
            return;
        poll->stop();
        poll->deleteLater();
        file.reset();
        // Nothing of this function object is touched once done has the outcome: done may
        // delete the context, and with it the timer that holds this.
        const auto answer = std::move(done);
        answer(outcome);
    });
    poll->start(LockPollMs);
    return true;
}
