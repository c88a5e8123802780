#include "practicetext.h"

#include <QFile>
#include <QStringDecoder>

#include <cstring>
#include <vector>

namespace {

constexpr qsizetype ChunkSize = 64 * 1024;
const QByteArray Utf8Bom("\xEF\xBB\xBF");

// No character takes more than four bytes in UTF-8 or GB18030, so a line with more
// bytes than this cannot fit, whatever its encoding; the exact test follows decoding.
constexpr qsizetype MaxLineBytes = 4 * PracticeText::MaxLineLength;

// Splits the bytes of a file into lines as they arrive, and takes a UTF-8 byte-order
// mark off the front of the file.
class LineSplitter
{
public:
    // Returns false once reading can stop: enough lines, or a line that cannot fit.
    bool feed(const char *data, qsizetype size)
    {
        while (!m_bomDecided && size > 0) {
            if (*data != Utf8Bom.at(m_bomMatched)) {
                m_bomDecided = true;
                // The bytes that looked like the start of a mark are text after all.
                if (!split(Utf8Bom.constData(), m_bomMatched))
                    return false;
                break;
            }
            ++data;
            --size;
            if (++m_bomMatched == Utf8Bom.size())
                m_bomDecided = m_hasBom = true;
        }
        return split(data, size);
    }

    // The end of the file ends the last line, if it has any characters.
    void finish()
    {
        if (!m_bomDecided) {
            m_bomDecided = true;
            split(Utf8Bom.constData(), m_bomMatched);
        }
        if (!m_current.isEmpty() && m_lines.size() < PracticeText::MaxStoredLines)
            m_lines.push_back(std::move(m_current));
        m_current = QByteArray();
    }

    bool hasBom() const { return m_hasBom; }
    bool tooLong() const { return m_tooLong; }
    const std::vector<QByteArray> &lines() const { return m_lines; }

private:
    bool split(const char *data, qsizetype size)
    {
        const char *const end = data + size;
        while (data < end) {
            if (m_afterCr) {
                m_afterCr = false;
                if (*data == '\n') {
                    ++data;
                    continue;
                }
            }
            if (m_lines.size() == PracticeText::MaxStoredLines)
                return false; // a further line begins here: it is not stored
            const char *cr = static_cast<const char *>(std::memchr(data, '\r', size_t(end - data)));
            const char *stop = cr ? cr : end;
            if (m_current.size() + (stop - data) > MaxLineBytes) {
                m_tooLong = true;
                return false;
            }
            m_current.append(data, stop - data);
            data = stop;
            if (cr) {
                m_lines.push_back(std::move(m_current));
                m_current = QByteArray();
                m_afterCr = true;
                ++data;
            }
        }
        return true;
    }

    std::vector<QByteArray> m_lines;
    QByteArray m_current;
    bool m_afterCr = false;
    bool m_tooLong = false;
    qsizetype m_bomMatched = 0;
    bool m_bomDecided = false;
    bool m_hasBom = false;
};

// Decodes every line with one encoding. Each line is decoded on its own, in one piece
// with a line end after it, so that a sequence cut short at the end of the line becomes
// U+FFFD instead of being dropped or running on into the next line.
QStringList decodeLines(
    const std::vector<QByteArray> &lines, const char *encoding, bool *anyError = nullptr)
{
    QStringList decoded;
    decoded.reserve(qsizetype(lines.size()));
    for (const QByteArray &line : lines) {
        // The file's own byte-order mark is gone already; a U+FEFF that starts a line
        // is a character of the text and is kept.
        QStringDecoder decoder(encoding, QStringDecoder::Flag::ConvertInitialBom);
        QString text = decoder.decode(line + '\r');
        if (text.endsWith(QLatin1Char('\r')))
            text.chop(1);
        decoded.append(std::move(text));
        if (decoder.hasError() && anyError)
            *anyError = true;
    }
    return decoded;
}

QStringList decode(const std::vector<QByteArray> &lines, bool hasBom)
{
    if (hasBom)
        return decodeLines(lines, "UTF-8");
    bool notUtf8 = false;
    QStringList asUtf8 = decodeLines(lines, "UTF-8", &notUtf8);
    if (!notUtf8)
        return asUtf8;
    return decodeLines(lines, "GB18030");
}

} // namespace

PracticeText readPracticeText(QIODevice &device)
{
    PracticeText text;
    LineSplitter splitter;
    QByteArray chunk(ChunkSize, Qt::Uninitialized);
    for (;;) {
        const qint64 got = device.read(chunk.data(), ChunkSize);
        if (got < 0) {
            text.status = PracticeText::Status::ReadFailed;
            text.errorString = device.errorString();
            return text;
        }
        if (got == 0) {
            splitter.finish();
            break;
        }
        if (!splitter.feed(chunk.constData(), got))
            break;
    }

    if (splitter.tooLong()) {
        text.status = PracticeText::Status::LineTooLong;
        return text;
    }

    QStringList lines = decode(splitter.lines(), splitter.hasBom());
    for (const QString &line : std::as_const(lines)) {
        if (line.size() > PracticeText::MaxLineLength) {
            text.status = PracticeText::Status::LineTooLong;
            return text;
        }
    }
    text.lines = std::move(lines);
    return text;
}

PracticeText readPracticeText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        PracticeText text;
        text.status = PracticeText::Status::OpenFailed;
        text.errorString = file.errorString();
        return text;
    }
    return readPracticeText(file);
}
