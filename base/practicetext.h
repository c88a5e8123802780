// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading a practice text file.
//
// Lines end at CR LF, at a lone CR or at a lone LF; a terminator at the very end of
// the file adds no empty line. At most MaxStoredLines lines are kept; reading stops
// where the next line would begin. The file is read in chunks and each line is
// decoded as soon as it is complete, so only the stored text and one line's bytes are
// ever held, however large the file.
//
// Encoding, decided in this order: a UTF-8 byte-order mark means UTF-8; a UTF-16 LE
// or BE byte-order mark means UTF-16 (an odd trailing byte becomes U+FFFD); bytes
// that are all valid UTF-8 mean UTF-8; anything else is GB18030, the superset of GBK.
// Bytes that do not decode become U+FFFD. The file's own byte-order mark is dropped.
//
// Only regular files are read: a pipe, socket, device or folder is refused without
// ever blocking on it.

#include <QString>
#include <QStringList>

class QIODevice;

struct PracticeText
{
    enum class Status {
        Ok,
        OpenFailed, // the file could not be opened (missing, no permission)
        NotRegularFile, // a pipe, socket, device or folder
        ReadFailed, // a read failed part-way
        LineTooLong, // a stored line would hold more than MaxLineLength characters
    };

    static constexpr int MaxStoredLines = 50;
    // Lengths, in characters (code points), are kept in 16-bit counters.
    static constexpr qsizetype MaxLineLength = 32767;

    Status status = Status::Ok;
    // The stored lines, in file order; empty unless status is Ok.
    QStringList lines;
    // The system's reason when opening or reading failed.
    QString errorString;
};

// Reads the file at path.
PracticeText readPracticeText(const QString &path);

// Reads from a device that is already open for reading.
PracticeText readPracticeText(QIODevice &device);
