// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The score report: an HTML file that grows by one 13-line entry per saved result.
// Entries are written in GB18030 (a superset of GBK, which older reports use) with
// CR LF line ends and no byte-order mark. The report is only ever appended to.

#include <QByteArray>
#include <QString>

#include <array>

inline QString reportFileName()
{
    return QStringLiteral("成绩单.htm");
}

struct ReportEntry
{
    QString date;
    QString time;
    // The field titles and their values: the name, characters, speed, score, errors.
    std::array<QString, 5> titles;
    std::array<QString, 5> values;
};

// The bytes of one entry. The name is kept to one line (control characters become
// spaces) and HTML-escaped so that it cannot inject markup; every other text is
// written as it stands.
QByteArray reportEntryBytes(const ReportEntry &entry);

// Appends bytes to the file at path, creating it when missing, and flushes them to
// disk. Either all the bytes are added or none: after a failed write the file is cut
// back to its size before (or removed again, if this call created it). Only a regular
// file is written: a symbolic link, a pipe or anything else in its place fails the
// call. Running copies of the program take turns through an advisory lock held
// across the write, the flush and any cut-back.
bool appendWhole(const QString &path, const QByteArray &bytes);
