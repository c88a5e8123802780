// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/practicetext.h"
#include "testfiles.h"

#include <QBuffer>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

namespace {

PracticeText readBytes(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readPracticeText(buffer);
}

// A device that hands out some bytes and then fails, like a disk that breaks part-way.
class FailingDevice final : public QIODevice
{
public:
    explicit FailingDevice(QByteArray good)
        : m_good(std::move(good))
    {
        open(QIODevice::ReadOnly);
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_pos >= m_good.size()) {
            setErrorString(QStringLiteral("Input/output error"));
            return -1;
        }
        const qint64 n = qMin(maxSize, m_good.size() - m_pos);
        memcpy(data, m_good.constData() + m_pos, size_t(n));
        m_pos += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }
    bool isSequential() const override { return true; }

private:
    QByteArray m_good;
    qint64 m_pos = 0;
};

} // namespace

class TestPracticeText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void lineEnds_data();
    void lineEnds();
    void lineCap_data();
    void lineCap();
    void encodings_data();
    void encodings();
    void lineLength_data();
    void lineLength();
    void hugeFileIsNotReadWhole();
    void readFailurePartWay();
    void openFailures_data();
    void openFailures();
};

void TestPracticeText::lineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::addRow("CR LF") << QByteArray("ab\r\ncd\r\nef") << QStringList { "ab", "cd", "ef" };
    QTest::addRow("lone CR") << QByteArray("ab\rcd\ref\r") << QStringList { "ab", "cd", "ef" };
    QTest::addRow("lone LF") << QByteArray("ab\ncd\nef") << QStringList { "ab", "cd", "ef" };
    QTest::addRow("mixed") << QByteArray("a\r\nb\rc\nd\r\n") << QStringList { "a", "b", "c", "d" };
    QTest::addRow("LF then CR LF is an empty line")
        << QByteArray("ab\n\r\ncd") << QStringList { "ab", "", "cd" };
    QTest::addRow("LF CR is two line ends")
        << QByteArray("ab\n\rcd") << QStringList { "ab", "", "cd" };
    QTest::addRow("final CR LF adds no line") << QByteArray("ab\r\n") << QStringList { "ab" };
    QTest::addRow("final LF adds no line") << QByteArray("ab\n") << QStringList { "ab" };
    QTest::addRow("final empty line kept") << QByteArray("ab\r\n\r\n") << QStringList { "ab", "" };
    QTest::addRow("CR then CR LF") << QByteArray("ab\r\r\ncd") << QStringList { "ab", "", "cd" };
    QTest::addRow("only a line end") << QByteArray("\r\n") << QStringList { "" };
    QTest::addRow("empty file") << QByteArray() << QStringList {};
    QTest::addRow("empty fifth line") << QByteArray("1\r\n2\r\n3\r\n4\r\n\r\n6\r\n")
                                      << QStringList { "1", "2", "3", "4", "", "6" };
    QTest::addRow("tab and spaces kept") << QByteArray(" a\tb \r\n") << QStringList { " a\tb " };
    QTest::addRow("NUL kept") << QByteArray("a\0b", 3)
                              << QStringList { QString::fromLatin1("a\0b", 3) };

    // A CR at the end of one read and its LF at the start of the next.
    QByteArray straddling;
    QStringList straddlingLines;
    for (int i = 0; i < 6; ++i) {
        straddling += QByteArray(10'000, 'x') + "\r\n";
        straddlingLines.append(QString(10'000, QLatin1Char('x')));
    }
    const qsizetype rest = 64 * 1024 - 1 - straddling.size();
    straddling += QByteArray(rest, 'y') + "\r\nnext";
    straddlingLines << QString(rest, QLatin1Char('y')) << "next";
    QTest::addRow("CR LF across reads") << straddling << straddlingLines;
}

void TestPracticeText::lineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    const PracticeText text = readBytes(bytes);
    QCOMPARE(text.status, PracticeText::Status::Ok);
    QCOMPARE(text.lines, lines);
}

void TestPracticeText::lineCap_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("stored");
    QTest::addRow("49 lines") << numberedLines(49) << 49;
    QTest::addRow("50 lines") << numberedLines(50) << 50;
    QTest::addRow("51 lines") << numberedLines(51) << 50;
    QTest::addRow("60 lines") << numberedLines(60) << 50;
    QTest::addRow("50 lines without final terminator") << numberedLines(50).chopped(2) << 50;
    // Only stored lines must fit; the 51st is never kept, whatever its length.
    QTest::addRow("over-long 51st line") << numberedLines(50) + QByteArray(200'000, 'y') << 50;
}

void TestPracticeText::lineCap()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, stored);
    const PracticeText text = readBytes(bytes);
    QCOMPARE(text.status, PracticeText::Status::Ok);
    QCOMPARE(text.lines.size(), stored);
    QCOMPARE(text.lines.constFirst(), QStringLiteral("line 1"));
    QCOMPARE(text.lines.constLast(), QStringLiteral("line %1").arg(stored));
}

void TestPracticeText::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    const QString chinese = QStringLiteral("你好，世界");
    QTest::addRow("GBK") << gbk(chinese + QStringLiteral("\r\n第二行"))
                         << QStringList { chinese, "第二行" };
    QTest::addRow("UTF-8 without mark")
        << (chinese + QStringLiteral("\r\n第二行")).toUtf8() << QStringList { chinese, "第二行" };
    QTest::addRow("UTF-8 with mark")
        << QByteArray("\xEF\xBB\xBF") + chinese.toUtf8() << QStringList { chinese };
    QTest::addRow("mark alone is an empty file") << QByteArray("\xEF\xBB\xBF") << QStringList {};
    QTest::addRow("start of a mark is text") << QByteArray(
        "\xEF\xBB") << QStringList { QStringDecoder("GB18030").decode(QByteArray("\xEF\xBB")) };
    QTest::addRow("ASCII") << QByteArray("Hello") << QStringList { "Hello" };
    QTest::addRow("GBK in a later line makes the whole file GBK")
        << QByteArray("abc\r\n") + gbk(chinese) << QStringList { "abc", chinese };
    QTest::addRow("GBK in a later line reads the first again")
        << QByteArray("\xC3\xA9\r\n") + gbk(chinese)
        << QStringList { QStringDecoder("GB18030").decode(QByteArray("\xC3\xA9")), chinese };
    QTest::addRow("characters beyond GBK in GB18030")
        << gbk(QStringLiteral("𠀀€")) << QStringList { QStringLiteral("𠀀€") };
    QTest::addRow("undecodable bytes become U+FFFD") << QByteArray(
        "a\x80\xFF"
        "b") << QStringList { QStringLiteral("a\uFFFD\uFFFDb") };
    QTest::addRow("lead byte cut short at a line end")
        << QByteArray("a\xC4\r\nb") << QStringList { QStringLiteral("a\uFFFD"), "b" };
    QTest::addRow("a mark starting a later line is kept") << QByteArray(
        "a\r\n\xEF\xBB\xBF"
        "b") << QStringList { "a", QStringLiteral("\uFEFFb") };
    QTest::addRow("a second mark after the first is kept") << QByteArray(
        "\xEF\xBB\xBF\xEF\xBB\xBF"
        "c") << QStringList { QStringLiteral("\uFEFFc") };
    QTest::addRow("UTF-8 sequence cut short at a line end") << QByteArray(
        "\xEF\xBB\xBF"
        "a\xE4\xBD\r\nb") << QStringList { QStringLiteral("a\uFFFD\uFFFD"), "b" };
    QTest::addRow("UTF-16 LE with mark") << QByteArray("\xFF\xFE\x60O\x7D\x59\r\0\n\0a\0\n\0", 14)
                                         << QStringList { QStringLiteral("你好"), "a" };
    QTest::addRow("UTF-16 BE with mark") << QByteArray("\xFE\xFFO\x60\x59\x7D\0\r\0a", 10)
                                         << QStringList { QStringLiteral("你好"), "a" };
    QTest::addRow("UTF-16 mark alone") << QByteArray("\xFF\xFE") << QStringList {};
    QTest::addRow("UTF-16 with an odd trailing byte") << QByteArray("\xFF\xFE"
                                                                    "a\0b",
        5) << QStringList { QStringLiteral("a\uFFFD") };
    QTest::addRow("UTF-16 odd byte after the last line end") << QByteArray("\xFF\xFE"
                                                                           "a\0\n\0b",
        7) << QStringList { "a", QStringLiteral("\uFFFD") };
    QTest::addRow("UTF-16 pair kept, lone surrogates replaced")
        << QByteArray("\xFF\xFE\x40\xD8\x00\xDCx\0\x00\xDCy\0\x00\xD8", 14)
        << QStringList { QStringLiteral("\U00020000x\uFFFDy\uFFFD") };
    QTest::addRow("UTF-16 NUL bytes are not line ends")
        << QByteArray("\xFF\xFE\r\x4E\n\x4E", 6) << QStringList { QStringLiteral("\u4E0D\u4E0A") };
    QTest::addRow("UTF-8 with mark and a bad byte") << QByteArray("\xEF\xBB\xBF"
                                                                  "ok\xFF")
                                                    << QStringList { QStringLiteral("ok\uFFFD") };
}

void TestPracticeText::encodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    const PracticeText text = readBytes(bytes);
    QCOMPARE(text.status, PracticeText::Status::Ok);
    QCOMPARE(text.lines, lines);
}

void TestPracticeText::lineLength_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("fits");
    const qsizetype max = PracticeText::MaxLineLength;
    QTest::addRow("longest ASCII line") << QByteArray(max, 'a') << true;
    QTest::addRow("one character too many") << QByteArray(max + 1, 'a') << false;
    QTest::addRow("too long in a later line")
        << QByteArray("ok\r\n") + QByteArray(max + 1, 'a') << false;
    QTest::addRow("longest GBK line") << gbk(QString(max, QChar(0x4E2D))) << true;
    QTest::addRow("GBK line too long") << gbk(QString(max + 1, QChar(0x4E2D))) << false;
    QTest::addRow("longest UTF-8 line") << QString(max, QChar(0x4E2D)).toUtf8() << true;
    QTest::addRow("longest line beyond the BMP")
        << QStringLiteral("\U00020000").repeated(max).toUtf8() << true;
    QTest::addRow("UTF-8 line too long once read as GB18030")
        << QString(20000, QChar(0x4E00)).toUtf8() + "\r\n" + gbk(QStringLiteral("中")) << false;
    QTest::addRow("no line break in a megabyte") << QByteArray(1 << 20, 'z') << false;
}

void TestPracticeText::lineLength()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, fits);
    const PracticeText text = readBytes(bytes);
    QCOMPARE(text.status, fits ? PracticeText::Status::Ok : PracticeText::Status::LineTooLong);
    QCOMPARE(text.lines.isEmpty(), !fits);
}

void TestPracticeText::hugeFileIsNotReadWhole()
{
    // 64 MiB without a line break: reading stops at the first line that cannot fit.
    QBuffer buffer;
    buffer.setData(QByteArray(64 << 20, 'q'));
    buffer.open(QIODevice::ReadOnly);
    QCOMPARE(readPracticeText(buffer).status, PracticeText::Status::LineTooLong);
    QVERIFY2(buffer.pos() <= 256 * 1024, qPrintable(QString::number(buffer.pos())));

    // 60 short lines followed by 64 MiB: reading stops where the 51st line begins.
    QBuffer lines;
    lines.setData(numberedLines(60) + QByteArray(64 << 20, 'q'));
    lines.open(QIODevice::ReadOnly);
    QCOMPARE(readPracticeText(lines).lines.size(), 50);
    QVERIFY(lines.pos() <= 64 * 1024);
}

void TestPracticeText::readFailurePartWay()
{
    FailingDevice device("first line\r\nsecond");
    const PracticeText text = readPracticeText(device);
    QCOMPARE(text.status, PracticeText::Status::ReadFailed);
    QVERIFY(text.lines.isEmpty());
    QCOMPARE(text.errorString, QStringLiteral("Input/output error"));
}

void TestPracticeText::openFailures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<PracticeText::Status>("status");
    QTest::addRow("missing") << "missing" << PracticeText::Status::OpenFailed;
    QTest::addRow("a folder") << "folder" << PracticeText::Status::NotRegularFile;
    QTest::addRow("a named pipe") << "fifo" << PracticeText::Status::NotRegularFile;
    QTest::addRow("a socket") << "socket" << PracticeText::Status::OpenFailed;
    QTest::addRow("a device") << "/dev/zero" << PracticeText::Status::NotRegularFile;
    QTest::addRow("a regular file") << "练习.txt" << PracticeText::Status::Ok;
}

void TestPracticeText::openFailures()
{
    QFETCH(QString, kind);
    QFETCH(PracticeText::Status, status);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path = kind.startsWith(QLatin1Char('/')) ? kind : dir.filePath(kind);
    if (kind == QLatin1String("folder"))
        path = dir.path();
    else if (kind.endsWith(QLatin1String(".txt")))
        writeFile(dir, kind, gbk(QStringLiteral("中文")));
    const SpecialFile special(kind, path);

    const PracticeText text = readPracticeText(path);
    QVERIFY(!special.blocked());
    QCOMPARE(text.status, status);
    QCOMPARE(text.lines.isEmpty(), status != PracticeText::Status::Ok);
    if (status == PracticeText::Status::OpenFailed)
        QVERIFY(!text.errorString.isEmpty());
    if (status == PracticeText::Status::Ok)
        QCOMPARE(text.lines, QStringList { QStringLiteral("中文") });
}

QTEST_GUILESS_MAIN(TestPracticeText)
#include "tst_practicetext.moc"
