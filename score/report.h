// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The score report: an HTML file that grows by one 13-line entry per saved result.
// Entries are written in GB18030 (a superset of GBK, which older reports use) with
// CR LF line ends and no byte-order mark. The report is only ever appended to.

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>

class QObject;
struct flock;

struct ReportEntry
{
    QString date;
    QString time;
    // The field titles and their values: the name, characters, speed, score, errors.
    std::array<QString, 5> titles;
    std::array<QString, 5> values;
};

// The first line of a report this program creates. Without it a browser has to guess
// the encoding, and guesses wrong for some names.
QByteArray reportHeaderBytes();

// The bytes of one entry. The name is kept to one line (control characters become
// spaces) and HTML-escaped so that it cannot inject markup; every other text is
// written as it stands.
QByteArray reportEntryBytes(const ReportEntry &entry);

// Why a save failed, for the program; the reason says it in words, for people.
enum class SaveError {
    None,
    // Something else than a regular file is in the report's place (a link, a pipe).
    NotRegularFile,
    // Another running program holds the report's lock, past the time given to wait.
    Locked,
    // Another program put another file in the report's place during the save.
    Replaced,
    // The disk, or the learner's quota, is full.
    NoSpace,
    // The file would grow past the file-size limit (ulimit -f).
    TooLarge,
    Other,
};

struct SaveResult
{
    SaveError error = SaveError::None;
    QString reason;

    explicit operator bool() const { return error == SaveError::None; }
};

// How the report is locked: fcntl(F_SETLK) on the whole file. Tests put a file system
// without locks in its place.
extern int (*setReportLock)(int fd, struct flock *lock);

// The report opened for one save. Only a regular file is written: a symbolic link, a
// pipe or anything else in its place fails the save. Running copies of the program
// take turns through an advisory lock, held from tryLock() until the object goes; where
// the file system has no locks (an NFS home without its lock daemons, some SMB
// mounts), the save goes ahead without one. A file that this object created and left
// empty is removed when it goes.
class ReportFile
{
public:
    ReportFile() = default;
    ~ReportFile();
    ReportFile(const ReportFile &) = delete;
    ReportFile &operator=(const ReportFile &) = delete;

    // Opens the file at path for appending, creating it when missing.
    SaveResult open(const QString &path);
    // Takes the lock if no other program holds it, without waiting; Locked if one does.
    SaveResult tryLock();

    // Appends bytes and flushes them to disk, after the header if the file is empty.
    // Either all the bytes are added or none: after a failed write the file is cut back
    // to its size before (or removed again, if this save created it and nobody else has
    // written to it). A file put in the report's place by another program meanwhile
    // fails the save and is left alone.
    SaveResult append(const QByteArray &bytes, const QByteArray &header = QByteArray());

private:
    SaveResult openOnce();

    QByteArray m_name;
    int m_fd = -1;
    bool m_created = false;
    bool m_locked = false;
};

// How long a save waits, at most, for other running copies of the program (or another
// program) to finish with the report: a class saving at the same moment on a slow
// disk takes turns for a few seconds.
constexpr qint64 ReportLockWaitMs = 5000;

// One whole save, waiting with short sleeps for the lock: for programs without an
// event loop.
SaveResult appendWhole(
    const QString &path, const QByteArray &bytes, const QByteArray &header = QByteArray());

// One whole save that waits for the lock on the event loop, polling, so that the window
// stays responsive, until clock (in milliseconds) has moved on ReportLockWaitMs. done
// learns the outcome: before this returns when nothing had to be waited for, else
// later, unless context has gone by then. Returns whether the save is still waiting.
bool appendWhenFree(const QString &path, const QByteArray &bytes, const QByteArray &header,
    QObject *context, std::function<qint64()> clock, std::function<void(const SaveResult &)> done);
