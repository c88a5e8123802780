// SPDX-License-Identifier: GPL-3.0-or-later
#include "practicefixture.h"

#include "platform/qtruntime.h"
#include "platform/translations.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

class TestTextReading : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void dialogPresetAndFilter();
    void dialogListsFiles_data();
    void dialogListsFiles();
    void cancelEntersFreeInput();
    void fileFromCommandLine();
    void cancelTest_data();
    void cancelTest();
    void loadsLineEnds_data();
    void loadsLineEnds();
    void encodings_data();
    void encodings();
    void textEnds_data();
    void textEnds();
    void sixtyLinesStoreFifty();
    void emptyFifthLine();
    void textUsedUpAtOnce_data();
    void textUsedUpAtOnce();
    void unreadableFileAsksAgain_data();
    void unreadableFileAsksAgain();
    void restartClearsPreviousText();
    void shippedTexts_data();
    void shippedTexts();
    void restartMidPractice();
};

namespace {

// Finishes rows one after another, as the keystroke check does at each row's end,
// until the practice ends; returns the row that was current when it ended.
int finishRowsUntilEnd(PracticeFixture &f, int maxRows = 100)
{
    for (int i = 0; i < maxRows && f.form.isEnabled(); ++i)
        f.form.AdvanceRow();
    return f.form.state().CurRow;
}

void verifyEnded(PracticeFixture &f)
{
    QVERIFY(!f.form.isEnabled());
    QVERIFY(!f.form.ui.Timer1->isEnabled());
    QVERIFY(!f.form.ui.Timer2->isEnabled());
    for (int row = 1; row <= 3; ++row)
        QVERIFY(!f.form.ui.txtinput[row]->isEnabled());
}

} // namespace

void TestTextReading::dialogPresetAndFilter()
{
    PracticeFixture f;
    f.load();
    QCOMPARE(f.runtime.dialogs.size(), 1);
    const FakeRuntime::DialogCall &call = f.runtime.dialogs.constFirst();
    QCOMPARE(call.presetName, QCoreApplication::applicationDirPath() + QStringLiteral("/*.txt"));
    QCOMPARE(call.filter, QStringLiteral("文本文件(*.txt) |*.txt|所有文件(*.*)|*.*"));
    QCOMPARE(call.filterIndex, 1);
}

void TestTextReading::initTestCase()
{
    // As the program does at start: Qt's own strings in Chinese.
    QVERIFY(installQtTranslations(*QCoreApplication::instance()));
}

void TestTextReading::dialogListsFiles_data()
{
    QTest::addColumn<int>("filterIndex");
    QTest::addColumn<QStringList>("listed");
    QTest::addRow("text files") << 1 << QStringList { "a.txt" };
    QTest::addRow("all files, with or without a dot")
        << 2 << QStringList { "README", "a.txt", "b.md" };
}

void TestTextReading::dialogListsFiles()
{
    QFETCH(int, filterIndex);
    QFETCH(QStringList, listed);
    QTemporaryDir dir;
    for (const char *name : { "a.txt", "b.md", "README" })
        writeFile(dir, QString::fromLatin1(name), "x");
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    setUpOpenDialog(dialog, dir.filePath(QStringLiteral("*.txt")),
        QStringLiteral("文本文件(*.txt) |*.txt|所有文件(*.*)|*.*"), filterIndex);

    auto *lookIn = dialog.findChild<QLabel *>(QStringLiteral("lookInLabel"));
    QVERIFY(lookIn);
    QVERIFY2(lookIn->text().contains(QStringLiteral("查找")), qPrintable(lookIn->text()));

    // The descriptions are shown as given, patterns and all.
    auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    QVERIFY(types);
    QCOMPARE(types->count(), 2);
    QCOMPARE(types->itemText(0), QStringLiteral("文本文件(*.txt)"));
    QCOMPARE(types->itemText(1), QStringLiteral("所有文件(*.*)"));
    QCOMPARE(types->currentIndex(), filterIndex - 1);

    auto *model = dialog.findChild<QFileSystemModel *>();
    QVERIFY(model);
    const auto shown = [&] {
        QStringList names;
        const QModelIndex folder = model->index(dir.path());
        for (int row = 0; row < model->rowCount(folder); ++row)
            names.append(model->index(row, 0, folder).data().toString());
        names.sort();
        return names;
    };
    // The model reads the folder on a thread of its own.
    QTRY_COMPARE(shown(), listed);
}

void TestTextReading::fileFromCommandLine()
{
    PracticeFixture f;
    const QString path = writeFile(f.dir, QStringLiteral("课文.txt"), "abc\r\n");
    f.form.setPracticeFile(path);
    f.runtime.openAnswers.enqueue(path); // Return takes the selected file
    f.load();
    // The first dialog opens in the file's folder with the file selected; a cancel there
    // would still return the pattern and mean free input.
    const FakeRuntime::DialogCall &first = f.runtime.dialogs.constFirst();
    QCOMPARE(first.presetName, f.dir.path() + QStringLiteral("/*.txt"));
    QCOMPARE(first.selectedFile, path);
    QCOMPARE(f.rows().constFirst(), QStringLiteral("abc"));
    // Later dialogs open on the shipped texts again, with nothing selected.
    f.form.menuOpen_Click();
    const FakeRuntime::DialogCall &second = f.runtime.dialogs.constLast();
    QCOMPARE(second.presetName, QCoreApplication::applicationDirPath() + QStringLiteral("/*.txt"));
    QCOMPARE(second.selectedFile, QString());
}

void TestTextReading::cancelEntersFreeInput()
{
    PracticeFixture f;
    f.load();
    QCOMPARE(f.runtime.messages.size(), 1);
    QCOMPARE(f.runtime.messages[0].prompt, QStringLiteral("自由录入"));
    QCOMPARE(f.runtime.messages[0].style, MsgBoxStyle::Plain);
    QCOMPARE(f.runtime.messages[0].title, QStringLiteral("Keyvale"));
    QCOMPARE(f.form.windowTitle(), QStringLiteral("Keyvale－自由录入"));
    QCOMPARE(f.form.ui.lblResult[1]->caption(), QStringLiteral("字符总数："));
    QCOMPARE(f.form.ui.lblResult[2]->caption(), QStringLiteral("键入字符："));
    QCOMPARE(f.form.ui.lblResult[3]->caption(), QStringLiteral("时间："));
    QCOMPARE(f.rows(), QStringList({ "", "", "" }));
    QCOMPARE(f.form.state().FreeInput, VbTrue);
    QCOMPARE(f.form.state().CurRow, qint16(1));
    QCOMPARE(f.form.state().RowLen, qint16(0));
    QCOMPARE(f.module.TotalChars, 0);
    QCOMPARE(f.unlockedBox(), 1);
    QCOMPARE(f.visibleMarker(), 1);
    QVERIFY(f.form.ui.Timer1->isEnabled());
    QVERIFY(f.form.ui.Timer2->isEnabled());
    QCOMPARE(f.form.focusWidget(), f.form.ui.txtinput[1]);

    // Free-input rows cycle for ever: row 1, 2, 3, then the boxes are emptied.
    f.form.ui.txtinput[1]->setText(QStringLiteral("typed"));
    for (int i = 0; i < 3; ++i)
        f.form.AdvanceRow();
    QVERIFY(f.form.isEnabled());
    QCOMPARE(f.form.state().CurRow, qint16(1));
    QCOMPARE(f.form.ui.txtinput[1]->text(), QString());
}

void TestTextReading::cancelTest_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("chosen");
    QTest::addRow("preset pattern") << "/opt/keyvale/*.txt" << false;
    QTest::addRow("any pattern") << "/home/learner/*.doc" << false;
    QTest::addRow("a star elsewhere is a file") << "/home/learner/a*b.txt" << true;
    QTest::addRow("other extension") << "/home/learner/lesson.md" << true;
}

void TestTextReading::cancelTest()
{
    QFETCH(QString, answer);
    QFETCH(bool, chosen);
    PracticeFixture f;
    f.runtime.openAnswers.enqueue(answer);
    f.load();
    // A chosen file that does not exist is reported; a cancel goes straight to free input.
    QCOMPARE(f.runtime.messages.constFirst().prompt == QStringLiteral("自由录入"), !chosen);
}

void TestTextReading::loadsLineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("total");
    QTest::addRow("CR LF") << QByteArray("abc\r\nde\r\nf\r\n") << QStringList { "abc", "de", "f" }
                           << 6;
    QTest::addRow("lone CR") << QByteArray("abc\rde\rf") << QStringList { "abc", "de", "f" } << 6;
    QTest::addRow("line feeds") << QByteArray("abc\nde\nf\n") << QStringList { "abc", "de", "f" }
                                << 6;
    QTest::addRow("mixed") << QByteArray("a\r\nb\rc\nd") << QStringList { "a", "b", "c" } << 4;
    QTest::addRow("markup is plain text")
        << QByteArray("<b>x</b>\r\n&amp;") << QStringList { "<b>x</b>", "&amp;", "" } << 13;
}

void TestTextReading::loadsLineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, rows);
    QFETCH(int, total);
    PracticeFixture f;
    const QString path = f.offer(bytes);
    f.load();
    QVERIFY(f.runtime.messages.isEmpty());
    QCOMPARE(f.rows(), rows);
    QCOMPARE(f.module.TotalChars, total);
    QCOMPARE(f.form.ui.lblResult[1]->caption(), QStringLiteral("字符总数：%1").arg(total));
    QCOMPARE(f.form.windowTitle(), QStringLiteral("Keyvale－") + path);
    QCOMPARE(f.form.state().FreeInput, VbFalse);
    QCOMPARE(f.form.state().CurRow, qint16(1));
    QCOMPARE(f.form.state().CharPos, qint16(1));
    QCOMPARE(f.form.state().RowLen, qint16(rows[0].size()));
    for (int row = 1; row <= 3; ++row)
        QCOMPARE(f.form.ui.lblShow[row]->textFormat(), Qt::PlainText);
    QCOMPARE(f.form.state().NextLine, qint16(4));
    QCOMPARE(f.unlockedBox(), 1);
    QCOMPARE(f.visibleMarker(), 1);
    QCOMPARE(f.form.focusWidget(), f.form.ui.txtinput[1]);
    QVERIFY(f.form.ui.Timer1->isEnabled());
    QVERIFY(f.form.ui.Timer2->isEnabled());
}

void TestTextReading::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("firstRow");
    QTest::addColumn<int>("total");
    QTest::addRow("GBK") << gbk(QStringLiteral("春眠不觉晓\r\n处处闻啼鸟")) << "春眠不觉晓" << 10;
    QTest::addRow("UTF-8") << QByteArray("春眠不觉晓\r\n") << "春眠不觉晓" << 5;
    QTest::addRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF"
                                                   "春眠")
                                     << "春眠" << 2;
    QTest::addRow("undecodable") << QByteArray("ok\x80") << QStringLiteral("ok\uFFFD") << 3;
    QTest::addRow("UTF-16 LE with mark")
        << QByteArray("\xFF\xFE\x25\x66\x20\x77\n\0x\0", 10) << "春眠" << 3;
    QTest::addRow("characters beyond the BMP count once")
        << QByteArray("\xF0\xA0\x80\x80\xF0\x9F\x98\x80x") << "\U00020000\U0001F600x" << 3;
    QTest::addRow("UTF-16 BE with mark")
        << QByteArray("\xFE\xFF\x66\x25\x77\x20\0\r\0\n\0x", 12) << "春眠" << 3;
}

void TestTextReading::encodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, firstRow);
    QFETCH(int, total);
    PracticeFixture f;
    f.offer(bytes);
    f.load();
    QCOMPARE(f.rows().constFirst(), firstRow);
    QCOMPARE(f.module.TotalChars, total);
    QCOMPARE(f.form.state().RowLen, qint16(firstRow.toUcs4().size()));
}

void TestTextReading::textEnds_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("endRow"); // CurRow when the practice ended
    QTest::addColumn<QStringList>("lastRows"); // the rows behind the ended practice
    QTest::addRow("one line") << 1 << 2 << QStringList { "line 1", "", "" };
    QTest::addRow("three lines") << 3 << 4 << QStringList { "line 1", "line 2", "line 3" };
    QTest::addRow("four lines") << 4 << 2 << QStringList { "line 4", "", "" };
    QTest::addRow("six lines") << 6 << 4 << QStringList { "line 4", "line 5", "line 6" };
    QTest::addRow("fifty lines") << 50 << 3 << QStringList { "line 49", "line 50", "" };
}

void TestTextReading::textEnds()
{
    QFETCH(int, lines);
    QFETCH(int, endRow);
    QFETCH(QStringList, lastRows);
    PracticeFixture f;
    f.offer(numberedLines(lines));
    f.load();
    QCOMPARE(finishRowsUntilEnd(f), endRow);
    verifyEnded(f);
    QCOMPARE(f.visibleMarker(), 0);
    QCOMPARE(f.rows(), lastRows);
}

void TestTextReading::sixtyLinesStoreFifty()
{
    PracticeFixture f;
    const QByteArray bytes = numberedLines(60);
    f.offer(bytes);
    f.load();
    int total = 0;
    for (int i = 1; i <= 50; ++i)
        total += QStringLiteral("line %1").arg(i).size();
    QCOMPARE(f.module.TotalChars, total);
    QCOMPARE(f.form.state().TextLines[50], QStringLiteral("line 50"));
    QVERIFY(f.form.state().TextLines[51].isEmpty());
    QCOMPARE(finishRowsUntilEnd(f), 3);
    QCOMPARE(f.rows(), QStringList({ "line 49", "line 50", "" }));
    QCOMPARE(f.form.state().NextLine, qint16(52));
}

void TestTextReading::emptyFifthLine()
{
    PracticeFixture f;
    f.offer("one\r\ntwo\r\nthree\r\nfour\r\n\r\nsixth\r\n");
    f.load();
    // Lines after the empty one count but are never shown.
    QCOMPARE(f.module.TotalChars, 3 + 3 + 5 + 4 + 5);
    for (int i = 0; i < 3; ++i)
        f.form.AdvanceRow();
    QCOMPARE(f.rows(), QStringList({ "four", "", "sixth" }));
    QVERIFY(f.form.isEnabled());
    f.form.AdvanceRow();
    QCOMPARE(f.form.state().CurRow, qint16(2));
    verifyEnded(f);
}

void TestTextReading::textUsedUpAtOnce_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addRow("empty file") << QByteArray();
    QTest::addRow("empty first line") << QByteArray("\r\nsecond\r\n");
}

void TestTextReading::textUsedUpAtOnce()
{
    QFETCH(QByteArray, bytes);
    PracticeFixture f;
    f.offer(bytes);
    f.load();
    QCOMPARE(f.form.state().CurRow, qint16(0)); // no row has been current yet
    verifyEnded(f);
    // With no current row there was no marker to hide: the first stays as the reset left it.
    QCOMPARE(f.visibleMarker(), 1);
    QVERIFY(f.runtime.messages.isEmpty());
}

void TestTextReading::unreadableFileAsksAgain_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::addRow("missing file") << "missing"
                                  << "无法读取练习文件";
    QTest::addRow("a folder") << "folder"
                              << "不是普通文件";
    QTest::addRow("a named pipe") << "fifo"
                                  << "不是普通文件";
    QTest::addRow("a socket") << "socket"
                              << "无法读取练习文件";
    QTest::addRow("a device") << "/dev/zero"
                              << "不是普通文件";
    QTest::addRow("line too long") << "long"
                                   << "一行太长";
}

void TestTextReading::unreadableFileAsksAgain()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    PracticeFixture f;
    QString bad;
    if (kind == QLatin1String("missing")) {
        bad = f.dir.filePath(QStringLiteral("gone.txt"));
        f.runtime.openAnswers.enqueue(bad);
    } else if (kind == QLatin1String("folder")) {
        bad = f.dir.path();
        f.runtime.openAnswers.enqueue(bad);
    } else if (kind == QLatin1String("fifo") || kind == QLatin1String("socket")) {
        bad = f.dir.filePath(kind);
        f.runtime.openAnswers.enqueue(bad);
    } else if (kind.startsWith(QLatin1Char('/'))) {
        bad = kind;
        f.runtime.openAnswers.enqueue(bad);
    } else {
        // A good line, then one too long: nothing of the file is kept.
        bad = f.offer("good line\r\n" + QByteArray(40000, 'x'), QStringLiteral("long.txt"));
    }
    const SpecialFile special(kind, bad);
    f.load();
    QVERIFY(!special.blocked());

    QCOMPARE(f.runtime.dialogs.size(), 2); // asked again after the failure
    QCOMPARE(f.runtime.messages.size(), 2);
    const FakeRuntime::Message &message = f.runtime.messages.constFirst();
    QCOMPARE(message.style, MsgBoxStyle::Critical);
    QVERIFY2(message.prompt.contains(reason), qPrintable(message.prompt));
    QVERIFY2(message.prompt.contains(bad), qPrintable(message.prompt));
    // The second dialog was cancelled: free input, with no trace of the failed file.
    QCOMPARE(f.runtime.messages[1].prompt, QStringLiteral("自由录入"));
    QCOMPARE(f.module.TotalChars, 0);
    QVERIFY(f.form.state().TextLines[1].isEmpty());
    QCOMPARE(f.rows(), QStringList({ "", "", "" }));
}

void TestTextReading::restartClearsPreviousText()
{
    PracticeFixture f;
    f.offer(numberedLines(10), QStringLiteral("long.txt"));
    f.load();
    QCOMPARE(f.module.TotalChars, 9 * 6 + 7);

    f.offer("x\r\ny\r\n", QStringLiteral("short.txt"));
    f.form.menuOpen_Click();
    QCOMPARE(f.rows(), QStringList({ "x", "y", "" }));
    QCOMPARE(f.module.TotalChars, 2);
    for (int i = 3; i <= 51; ++i)
        QVERIFY(f.form.state().TextLines[size_t(i)].isEmpty());
    QVERIFY(f.form.windowTitle().endsWith(QStringLiteral("short.txt")));
}

void TestTextReading::restartMidPractice()
{
    PracticeFixture f;
    f.offer(numberedLines(9));
    f.load();
    f.form.ui.txtinput[1]->setText(QStringLiteral("line 1"));
    f.form.AdvanceRow();
    f.form.ui.txtinput[2]->setText(QStringLiteral("li"));
    f.form.ui.lblSpeed3->setCaption(QStringLiteral("12."));
    f.form.ui.lblErr2->setCaption(QStringLiteral("3"));

    // Restart into free input: everything is reset and the text is gone.
    f.form.menuOpen_Click();
    for (int row = 1; row <= 3; ++row)
        QCOMPARE(f.form.ui.txtinput[row]->text(), QString());
    QCOMPARE(f.rows(), QStringList({ "", "", "" }));
    QCOMPARE(f.visibleMarker(), 1);
    QCOMPARE(f.form.ui.lblSpeed3->caption(), QString());
    QCOMPARE(f.form.ui.lblErr2->caption(), QString());
    QCOMPARE(f.form.state().Seconds, qint16(0));
    QCOMPARE(f.form.state().Minutes, qint16(0));
    QCOMPARE(f.form.state().FreeInput, VbTrue);

    // And from free input back to a text.
    f.offer("again\r\n");
    f.form.menuOpen_Click();
    QCOMPARE(f.form.state().FreeInput, VbFalse);
    QCOMPARE(f.rows(), QStringList({ "again", "", "" }));
}

void TestTextReading::shippedTexts_data()
{
    QTest::addColumn<QString>("path");
    const QDir texts(QStringLiteral(KEYVALE_TEXTS_DIR));
    const QStringList names = texts.entryList({ QStringLiteral("*.txt") }, QDir::Files);
    QVERIFY(names.size() >= 8);
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << texts.filePath(name);
}

void TestTextReading::shippedTexts()
{
    QFETCH(QString, path);
    PracticeFixture f;
    f.runtime.openAnswers.enqueue(path);
    f.load();
    QVERIFY(f.runtime.messages.isEmpty());
    QVERIFY(f.module.TotalChars > 0);

    // Every stored line is practised: no empty line before the text's end.
    const auto &lines = f.form.state().TextLines;
    const auto end = std::find(lines.begin() + 1, lines.end(), QString());
    QVERIFY(std::all_of(end, lines.end(), [](const QString &line) { return line.isEmpty(); }));

    QStringEncoder gbk("GBK");
    const QFontMetricsF metrics(f.form.ui.lblShow[1]->font());
    const int room = std::min(f.form.ui.lblShow[1]->width(), f.form.ui.txtinput[1]->width()) - 8;
    for (auto line = lines.begin() + 1; line != end; ++line) {
        QVERIFY2(metrics.horizontalAdvance(*line) < room, qPrintable(*line));
        QVERIFY2(*line == line->trimmed(), qPrintable(*line));
        QByteArray encoded = gbk.encode(*line);
        QVERIFY2(!gbk.hasError(), qPrintable(*line));
    }
}

KEYVALE_TEST_MAIN(TestTextReading)
#include "tst_textreading.moc"
