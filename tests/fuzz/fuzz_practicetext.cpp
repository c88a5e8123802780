// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a practice file: line ends, encodings, over-long lines, huge files.
#include "fuzztargets.h"

#include "base/characters.h"
#include "base/practicetext.h"

#include <QBuffer>

int fuzzPracticeText(const uint8_t *data, size_t size)
{
    QByteArray bytes
        = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const PracticeText text = readPracticeText(buffer);

    FUZZ_REQUIRE(text.status == PracticeText::Status::Ok
        || text.status == PracticeText::Status::LineTooLong);
    FUZZ_REQUIRE(text.lines.size() <= PracticeText::MaxStoredLines);
    if (text.status != PracticeText::Status::Ok)
        FUZZ_REQUIRE(text.lines.isEmpty());
    qsizetype total = 0;
    for (const QString &line : text.lines) {
        FUZZ_REQUIRE(characterCount(line) <= PracticeText::MaxLineLength);
        FUZZ_REQUIRE(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));
        total += line.size();
    }
    // Nothing is dropped: every byte shows up as at least a part of a character,
    // except line ends (two bytes each in UTF-16) and a byte-order mark.
    const qsizetype lineEndBytes
        = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") ? 2 : 1;
    if (text.status == PracticeText::Status::Ok && text.lines.size() < PracticeText::MaxStoredLines)
        FUZZ_REQUIRE(total
            >= (qsizetype(size) - lineEndBytes * (bytes.count('\r') + bytes.count('\n')) - 3) / 4);
    return 0;
}

KEYVALE_FUZZ_ENTRY(fuzzPracticeText)
