#pragma once

// Reading a practice text file.
//
// Lines end at CR LF or at a lone CR; a lone LF stays in its line, and a terminator at
// the very end of the file adds no empty line. At most MaxStoredLines lines are kept;
// reading stops where the next line would begin. The file is read in chunks, so a
// huge file, or one without any line break, is never held whole.
//
// Encoding: a file that starts with the UTF-8 byte-order mark is UTF-8 (the mark is
// dropped); a file whose bytes read are all valid UTF-8 is UTF-8; any other is GB18030,
// the superset of GBK. Bytes that do not decode become U+FFFD.

#include <QString>
#include <QStringList>

class QIODevice;

struct PracticeText
{
    enum class Status {
        Ok,
        OpenFailed, // the file could not be opened (missing, no permission, a folder)
        ReadFailed, // a read failed part-way
        LineTooLong, // a stored line would hold more than MaxLineLength characters
    };

    static constexpr int MaxStoredLines = 50;
    // Lengths are kept in 16-bit counters.
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
