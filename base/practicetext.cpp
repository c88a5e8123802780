// SPDX-License-Identifier: GPL-3.0-or-later
#include "practicetext.h"

#include "characters.h"

#include <QFile>
#include <QStringDecoder>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype ChunkSize = 64 * 1024;

// No character takes more than four bytes in any of the encodings read, so a line
// with more bytes than this cannot fit; the exact test follows decoding.
constexpr qsizetype MaxLineBytes = 4 * PracticeText::MaxLineLength;

enum class Encoding {
    Utf8OrGb18030, // UTF-8 while every line so far is valid UTF-8, else GB18030
    Utf8,
    Gb18030,
    Utf16LE,
    Utf16BE,
};

// Decodes one line of UTF-8 or GB18030 bytes. The line is decoded in one piece with
// a line end after it, so that a sequence cut short at the end of the line becomes
// U+FFFD instead of being dropped. A U+FEFF that starts a line is a character of the
// text (the file's own mark is gone by now) and is kept.
QString decodeByteLine(const QByteArray &bytes, const char *encoding, bool *failed = nullptr)
{
    QStringDecoder decoder(encoding, QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes + '\r');
    text.chop(1);
    if (failed)
        *failed = decoder.hasError();
    return text;
}

// Decodes one line of UTF-16. A trailing odd byte becomes U+FFFD, and so does a
// surrogate without its partner, which no one could type.
QString decodeUtf16Line(const QByteArray &bytes, QStringDecoder::Encoding encoding)
{
    QStringDecoder decoder(encoding, QStringDecoder::Flag::ConvertInitialBom);
    const bool odd = bytes.size() % 2 != 0;
    QString text = decoder.decode(QByteArrayView(bytes).chopped(odd ? 1 : 0));
    if (odd)
        text.append(QChar::ReplacementCharacter);
    replaceLoneSurrogates(text);
    return text;
}

// Splits bytes into lines as they arrive and decodes each line once it is complete.
class LineReader
{
public:
    explicit LineReader(Encoding encoding)
        : m_encoding(encoding)
        , m_unit(encoding == Encoding::Utf16LE || encoding == Encoding::Utf16BE ? 2 : 1)
    { }

    // Returns false once reading can stop: enough lines, or a line that cannot fit.
    bool feed(const char *data, qsizetype size)
    {
        const char *const end = data + size;
        if (m_unit == 2 && !m_oddByte.isEmpty() && data < end) {
            const char pair[2] = { m_oddByte.at(0), *data++ };
            m_oddByte.clear();
            if (!feedUnits(pair, pair + 2))
                return false;
        }
        const char *const evenEnd = m_unit == 2 ? end - (end - data) % 2 : end;
        if (!feedUnits(data, evenEnd))
            return false;
        if (evenEnd != end)
            m_oddByte = QByteArray(evenEnd, 1);
        return true;
    }

    // The end of the file ends the last line, if it has any characters.
    void finish()
    {
        m_current += m_oddByte;
        if (!m_current.isEmpty() && m_lines.size() < PracticeText::MaxStoredLines)
            endLine();
    }

    bool tooLong() const { return m_tooLong; }
    QStringList takeLines() { return std::move(m_lines); }

private:
    char16_t unitAt(const char *p) const
    {
        const auto lo = uchar(m_encoding == Encoding::Utf16BE ? p[1] : p[0]);
        const auto hi = uchar(m_encoding == Encoding::Utf16BE ? p[0] : p[1]);
        return m_unit == 1 ? char16_t(uchar(*p)) : char16_t(hi << 8 | lo);
    }

    bool feedUnits(const char *data, const char *end)
    {
        while (data < end) {
            const char16_t unit = unitAt(data);
            if (m_afterCr) {
                m_afterCr = false;
                if (unit == u'\n') {
                    data += m_unit;
                    continue;
                }
            }
            if (m_lines.size() == PracticeText::MaxStoredLines)
                return false; // a further line begins here: it is not stored
            const char *stop = data;
            while (stop < end && unitAt(stop) != u'\r' && unitAt(stop) != u'\n')
                stop += m_unit;
            if (m_current.size() + (stop - data) > MaxLineBytes) {
                m_tooLong = true;
                return false;
            }
            m_current.append(data, stop - data);
            data = stop;
            if (stop < end) {
                m_afterCr = unitAt(stop) == u'\r';
                data += m_unit;
                if (!endLine())
                    return false;
            }
        }
        return true;
    }

    bool endLine()
    {
        QString line = decodeLine(m_current);
        m_current = QByteArray();
        if (m_tooLong || !fits(line))
            return false;
        // A decoder sizes its result for the worst case; keep only what the line needs.
        line.squeeze();
        m_lines.append(std::move(line));
        return true;
    }

    // Whether a line fits the practice's counters; a line that does not ends the reading.
    bool fits(QStringView line)
    {
        if (characterCount(line) > PracticeText::MaxLineLength)
            m_tooLong = true;
        return !m_tooLong;
    }

    QString decodeLine(const QByteArray &bytes)
    {
        switch (m_encoding) {
        case Encoding::Utf8:
            return decodeByteLine(bytes, "UTF-8");
        case Encoding::Gb18030:
            return decodeByteLine(bytes, "GB18030");
        case Encoding::Utf16LE:
            return decodeUtf16Line(bytes, QStringDecoder::Utf16LE);
        case Encoding::Utf16BE:
            return decodeUtf16Line(bytes, QStringDecoder::Utf16BE);
        case Encoding::Utf8OrGb18030:
            break;
        }
        bool notUtf8 = false;
        QString line = decodeByteLine(bytes, "UTF-8", &notUtf8);
        if (!notUtf8)
            return line;
        // The whole file is GB18030 after all. The lines stored so far were valid
        // UTF-8, which turns back into exactly the bytes it came from; read as GB18030
        // they may hold up to twice as many characters, and must fit again.
        m_encoding = Encoding::Gb18030;
        for (QString &stored : m_lines) {
            stored = decodeByteLine(stored.toUtf8(), "GB18030");
            stored.squeeze();
            if (!fits(stored))
                return QString();
        }
        return decodeByteLine(bytes, "GB18030");
    }

    Encoding m_encoding;
    const qsizetype m_unit;
    QStringList m_lines;
    QByteArray m_current;
    QByteArray m_oddByte;
    bool m_afterCr = false;
    bool m_tooLong = false;
};

// The encoding a file's first bytes announce, and the length of its byte-order mark.
Encoding sniff(const QByteArray &head, qsizetype *markLength)
{
    if (head.startsWith("\xEF\xBB\xBF")) {
        *markLength = 3;
        return Encoding::Utf8;
    }
    *markLength = 2;
    if (head.startsWith("\xFF\xFE"))
        return Encoding::Utf16LE;
    if (head.startsWith("\xFE\xFF"))
        return Encoding::Utf16BE;
    *markLength = 0;
    return Encoding::Utf8OrGb18030;
}

// Reads at most maxSize bytes, until the end of the device. False when a read fails.
bool readUpTo(QIODevice &device, QByteArray &buffer, qsizetype maxSize)
{
    buffer.resize(maxSize);
    qsizetype filled = 0;
    while (filled < maxSize) {
        const qint64 got = device.read(buffer.data() + filled, maxSize - filled);
        if (got < 0)
            return false;
        if (got == 0)
            break;
        filled += got;
    }
    buffer.resize(filled);
    return true;
}

PracticeText failure(PracticeText::Status status, const QString &reason)
{
    PracticeText text;
    text.status = status;
    text.errorString = reason;
    return text;
}

} // namespace

PracticeText readPracticeText(QIODevice &device)
{
    // The first read is large enough to hold any byte-order mark.
    QByteArray chunk;
    if (!readUpTo(device, chunk, ChunkSize))
        return failure(PracticeText::Status::ReadFailed, device.errorString());
    qsizetype markLength = 0;
    LineReader reader(sniff(chunk, &markLength));
    bool more = reader.feed(chunk.constData() + markLength, chunk.size() - markLength);
    while (more && chunk.size() == ChunkSize) {
        if (!readUpTo(device, chunk, ChunkSize))
            return failure(PracticeText::Status::ReadFailed, device.errorString());
        more = reader.feed(chunk.constData(), chunk.size());
    }
    if (more)
        reader.finish();

    if (reader.tooLong())
        return failure(PracticeText::Status::LineTooLong, QString());
    PracticeText text;
    text.lines = reader.takeLines();
    return text;
}

PracticeText readPracticeText(const QString &path)
{
    // Opened without blocking, and checked after opening, so that a pipe (even one put
    // in the file's place a moment ago) or a device never holds the program up.
    const QByteArray encoded = QFile::encodeName(path);
    const int fd = ::open(encoded.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failure(PracticeText::Status::OpenFailed, qt_error_string(errno));
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        const int error = errno;
        ::close(fd);
        return failure(PracticeText::Status::NotRegularFile,
            S_ISREG(status.st_mode) ? qt_error_string(error) : QString());
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failure(PracticeText::Status::OpenFailed, file.errorString());
    }
    return readPracticeText(file);
}
