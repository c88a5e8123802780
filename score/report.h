// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The score report: an HTML file that grows by one 13-line entry per saved result.
// Entries are written in GB18030 (a superset of GBK, which older reports use) with
// CR LF line ends and no byte-order mark. The report is only ever appended to.

#include "base/module1.h"

#include <QByteArray>
#include <QString>

#include <array>

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

// The outcome of a save: done, or why not, in words for the program's log.
struct SaveResult
{
    bool saved = false;
    QString error;

    explicit operator bool() const { return saved; }
};

// The report opened for one save. Only a regular file is written: a symbolic link, a
// pipe or anything else in its place fails the save. Running copies of the program
// take turns through an advisory lock, held from opening until the object goes.
class ReportFile
{
public:
    ReportFile() = default;
    ~ReportFile();
    ReportFile(const ReportFile &) = delete;
    ReportFile &operator=(const ReportFile &) = delete;

    // Opens the file at path for appending, creating it when missing, and takes its
    // lock. Another copy that holds the lock is waited for a moment only, so that the
    // window never freezes.
    SaveResult open(const QString &path);

    // Appends bytes and flushes them to disk, after the header if the file is empty.
    // Either all the bytes are added or none:
    // after a failed write the file is cut back to its size before (or removed again,
    // if this save created it). A file put in the report's place by another program
    // meanwhile fails the save and is left alone.
    SaveResult append(const QByteArray &bytes, const QByteArray &header = QByteArray());

private:
    QByteArray m_name;
    int m_fd = -1;
    bool m_created = false;
};

// Opens, appends and closes: one whole save.
SaveResult appendWhole(
    const QString &path, const QByteArray &bytes, const QByteArray &header = QByteArray());
