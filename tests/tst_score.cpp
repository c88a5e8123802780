// SPDX-License-Identifier: GPL-3.0-or-later
#include "practicefixture.h"

#include "score/awards.h"
#include "score/dlgscore.h"
#include "score/report.h"

#include <QAccessible>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFrame>
#include <QMimeData>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <array>
#include <functional>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray crlfGb(const QStringList &lines)
{
    QStringEncoder encoder("GB18030");
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += QByteArray(encoder.encode(line)) + "\r\n";
    return bytes;
}

// The 13 lines of one entry as the report holds them.
QStringList entryLines(const QString &stamp, const QString &name, const QString &chars,
    const QString &speed, const QString &score, const QString &errors)
{
    const QString lead = QStringLiteral("<p><font color =0000FF  > <body bgcolor=008f70>");
    return { QStringLiteral("<p><font color =0000FF face =arial >"),
        stamp + QStringLiteral("</font></p>"), lead,
        QStringLiteral("姓名:   <font color=FFFF00>") + name + QStringLiteral("</p>"), lead,
        QStringLiteral("字数:   <font color=FFFF00>") + chars + QStringLiteral("</p>"), lead,
        QStringLiteral("速度:   <font color=FFFF00>") + speed + QStringLiteral("</p>"), lead,
        QStringLiteral("得分:   <font color=FFFF00>") + score + QStringLiteral("</p>"), lead,
        QStringLiteral("错误:   <font color=FFFF00>") + errors + QStringLiteral("</p>"),
        QString() };
}

// Types a one-line text of ten characters to its end, the last one wrong, with the
// given speed and score captions standing on the main window, and returns the score
// dialog that opens.
dlgScore *finishPractice(PracticeFixture &f, const QString &speed = QStringLiteral("85.5"),
    const QString &score = QStringLiteral("72.34"))
{
    QCoreApplication::sendPostedEvents(); // an OK clicked before takes effect
    if (!f.form.isEnabled())
        return nullptr;
    f.offer("abcdefghij\r\n");
    f.form.menuOpen_Click();
    f.type(f.box(1), QStringLiteral("abcdefghi"));
    f.form.ui.lblSpeed3->setCaption(speed);
    f.form.ui.lblRight2->setCaption(score);
    f.type(f.box(1), QStringLiteral("x"));
    return f.form.scoreDialog();
}

// The lines of a new report: its charset line, then one 13-line entry.
constexpr int NewReport = 1 + 13;

QString reportPath(const PracticeFixture &f)
{
    return f.dir.filePath(reportFileName());
}

} // namespace

class TestScore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void awardRules_data();
    void awardRules();
    void pictureDraw_data();
    void pictureDraw();
    void pictureDistribution();
    void entryBytes();
    void nameInEntry_data();
    void nameInEntry();

    void dialogAsCreated();
    void formLoad();
    void returnPressesFocusedButton_data();
    void returnPressesFocusedButton();
    void awardsShown_data();
    void awardsShown();
    void saveAppendsInOrder_data();
    void saveAppendsInOrder();
    void saveOnlyOnce_data();
    void saveOnlyOnce();
    void failedSaveWarnsAndRetries();
    void failedWriteLeavesFileAsItWas();
    void saveWaitsForTheLock_data();
    void saveWaitsForTheLock();
    void saveWithoutLocks_data();
    void saveWithoutLocks();
    void tenthTickSavesAndEnds();
    void dismissedDialogNeverActs_data();
    void dismissedDialogNeverActs();
    void mainWindowStaysWhileScoreShows();
    void reportMustBeRegularFile_data();
    void reportMustBeRegularFile();
    void reportHeldOrReplaced();
    void concurrentSavesOnFullDisk();
    void classSavesAtOnce();

private:
    void concurrentSavesRound();

private Q_SLOTS:
    void closingActsAsOK();
    void okStartsNewPracticeWithFreshDialog();
    void exitEndsWithoutSaving();
    void reportCommand_data();
    void reportCommand();
};

void TestScore::awardRules_data()
{
    QTest::addColumn<float>("score");
    QTest::addColumn<float>("speed");
    QTest::addColumn<int>("errors");
    QTest::addColumn<int>("total");
    QTest::addColumn<bool>("frame");
    QTest::addColumn<int>("cells");
    QTest::addRow("perfect at 100 per minute") << 80.f << 100.f << 0 << 300 << true << 8;
    QTest::addRow("capped to fourteen") << 100.f << 250.f << 0 << 300 << true << 14;
    QTest::addRow("score of 50 shows the frame only") << 50.f << 125.f << 0 << 300 << true << 0;
    QTest::addRow("13 capped to 11") << 90.f << 150.f << 0 << 300 << true << 11;
    QTest::addRow("10 stays 10") << 100.f << 100.f << 0 << 300 << true << 10;
    QTest::addRow("17 capped to 12") << 100.f << 170.f << 0 << 300 << true << 12;
    QTest::addRow("18 capped to 13") << 100.f << 180.f << 0 << 300 << true << 13;
    QTest::addRow("22 capped to 13") << 100.f << 220.f << 0 << 300 << true << 13;
    QTest::addRow("23 capped to 14") << 100.f << 230.f << 0 << 300 << true << 14;
    QTest::addRow("one picture, no frame") << 100.f << 10.f << 0 << 300 << false << 1;
    QTest::addRow("half the text mistyped still counts")
        << 80.f << 100.f << 150 << 300 << true << 8;
    QTest::addRow("more than half mistyped earns none") << 80.f << 100.f << 151 << 300 << true << 0;
    QTest::addRow("no text and no errors") << 80.f << 100.f << 0 << 0 << true << 8;
    QTest::addRow("no text with errors") << 80.f << 100.f << 1 << 0 << true << 0;
    QTest::addRow("nothing") << 0.f << 0.f << 0 << 300 << false << 0;
}

void TestScore::awardRules()
{
    QFETCH(float, score);
    QFETCH(float, speed);
    QFETCH(int, errors);
    QFETCH(int, total);
    QFETCH(bool, frame);
    QFETCH(int, cells);
    const Awards awards = awardsFor(score, speed, errors, total);
    QCOMPARE(awards.frameShown, frame);
    QCOMPARE(awards.cells, cells);
}

void TestScore::pictureDraw_data()
{
    QTest::addColumn<float>("u");
    QTest::addColumn<int>("picture");
    QTest::addRow("lowest draw") << 0.f << 1;
    QTest::addRow("just below the first half") << 0.038f << 1;
    QTest::addRow("a half rounds to even: 1.5 to 2") << 1.f / 26 << 2;
    QTest::addRow("a half rounds to even: 7.5 to 8") << 0.5f << 8;
    QTest::addRow("a half rounds to even: 13.5 to 14") << 25.f / 26 << 14;
    QTest::addRow("highest draw") << 0.99999994f << 14;
}

void TestScore::pictureDraw()
{
    QFETCH(float, u);
    QFETCH(int, picture);
    QCOMPARE(awardPicture(u), picture);
}

void TestScore::pictureDistribution()
{
    // Draws spread evenly over [0, 1): the two end pictures come half as often.
    QList<int> counts(15, 0);
    constexpr int Draws = 26000;
    for (int i = 0; i < Draws; ++i)
        ++counts[awardPicture(float((i + 0.5) / Draws))];
    QCOMPARE(counts[1], 1000);
    QCOMPARE(counts[14], 1000);
    for (int picture = 2; picture <= 13; ++picture)
        QCOMPARE(counts[picture], 2000);
}

void TestScore::entryBytes()
{
    ReportEntry entry;
    entry.date = QStringLiteral("2026 - December - 06-Sunday");
    entry.time = QStringLiteral("14:05:09");
    entry.titles = { QStringLiteral("姓名:"), QStringLiteral("字数:"), QStringLiteral("速度:"),
        QStringLiteral("得分:"), QStringLiteral("错误:") };
    entry.values = { QStringLiteral("用户"), QStringLiteral("300"), QStringLiteral("85.5"),
        QStringLiteral("72.34"), QStringLiteral("3") };
    const QByteArray bytes = reportEntryBytes(entry);

    // Byte for byte: GB18030 ("用户" is C3 FB BB A7), CR LF after every one of 13 lines.
    QByteArray expected;
    expected += "<p><font color =0000FF face =arial >\r\n";
    expected += "2026 - December - 06-Sunday 14:05:09</font></p>\r\n";
    const QByteArray lead = "<p><font color =0000FF  > <body bgcolor=008f70>\r\n";
    expected += lead + "\xD0\xD5\xC3\xFB:   <font color=FFFF00>\xD3\xC3\xBB\xA7</p>\r\n";
    expected += lead + "\xD7\xD6\xCA\xFD:   <font color=FFFF00>300</p>\r\n";
    expected += lead + "\xCB\xD9\xB6\xC8:   <font color=FFFF00>85.5</p>\r\n";
    expected += lead + "\xB5\xC3\xB7\xD6:   <font color=FFFF00>72.34</p>\r\n";
    expected += lead + "\xB4\xED\xCE\xF3:   <font color=FFFF00>3</p>\r\n";
    expected += "\r\n";
    QCOMPARE(bytes, expected);
    QCOMPARE(bytes.count("\r\n"), 13);
}

void TestScore::nameInEntry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("written"); // as line 4 holds it after the field's title
    QTest::addRow("markup is escaped") << "<script>a&\"b\"</script>"
                                       << "&lt;script&gt;a&amp;&quot;b&quot;&lt;/script&gt;";
    QTest::addRow("outside GBK, in GB18030") << "\U00020000 x"
                                             << "\U00020000 x";
    QTest::addRow("line breaks and controls become spaces") << "a\r\nb\nc\td\u2028e\x7f"
                                                            << "a  b c d e ";
}

void TestScore::nameInEntry()
{
    QFETCH(QString, name);
    QFETCH(QString, written);
    ReportEntry entry;
    entry.values = { name, QStringLiteral("<1>"), {}, {}, {} };
    const QByteArray bytes = reportEntryBytes(entry);
    QCOMPARE(bytes.count("\r\n"), 13);
    const QStringList lines
        = QStringDecoder("GB18030").decode(bytes).operator QString().split(QStringLiteral("\r\n"));
    QCOMPARE(lines[3], QStringLiteral("   <font color=FFFF00>") + written + QStringLiteral("</p>"));
    // Only the name is escaped.
    QCOMPARE(lines[5], QStringLiteral("   <font color=FFFF00><1></p>"));
}

void TestScore::dialogAsCreated()
{
    PracticeFixture f;
    dlgScore created(f.runtime, PracticeResult());
    dlgScore *dialog = &created;
    QCOMPARE(dialog->windowTitle(), QStringLiteral("成绩"));
    QVERIFY(dialog->windowFlags() & Qt::Tool); // not in the task bar
    QCOMPARE(dialog->geometry(), QRect(184, 250, 420, 275));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    QCOMPARE(dialog->palette().color(QPalette::Window), QColor(192, 192, 255));
    QVERIFY(dialog->ui.picFrame1->isHidden());

    const Ui::dlgScore &ui = dialog->ui;
    const QStringList titles { "姓名:", "字数:", "速度:", "得分:", "错误:" };
    for (int i = 0; i <= 4; ++i)
        QCOMPARE(ui.lblTitle[i]->caption(), titles[i]);
    QCOMPARE(ui.lblTitle[3]->pos(), QPoint(200, 112));
    QCOMPARE(ui.lblTitle[0]->palette().color(QPalette::WindowText), QColor(0, 192, 0));
    QCOMPARE(ui.lblScore[3]->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QVERIFY(ui.lblScore[3]->font().underline());
    QCOMPARE(ui.lblScore[3]->font().pointSizeF(), 15.75);
    QCOMPARE(ui.cmdOK->text(), QStringLiteral("确定"));
    QCOMPARE(ui.cmdSave->text(), QStringLiteral("保存"));
    QCOMPARE(ui.cmdExit->text(), QStringLiteral("退出"));
    QCOMPARE(ui.cmdScore->text(), QStringLiteral("成绩"));
    QCOMPARE(ui.cmdExit->palette().color(QPalette::Button), QColor(0, 64, 0));
    QCOMPARE(ui.cmdScore->palette().color(QPalette::Button), QColor(255, 255, 192));
    QCOMPARE(ui.cmdScore->geometry(), QRect(240, 58, 41, 39));
    QCOMPARE(ui.imgPlayer->geometry(), QRect(345, 82, 54, 77));
    // The name box is an ordinary text box: a name may be dropped (or pasted) into it.
    QMimeData dropped;
    dropped.setText(QStringLiteral("张伟"));
    QDragEnterEvent drag(QPoint(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(ui.txtResult, &drag);
    QVERIFY(drag.isAccepted());
    QCOMPARE(ui.Timer1->interval(), 60000);
    QVERIFY(ui.Timer1->isEnabled());
    QCOMPARE(ui.picFrame1->geometry(), QRect(6, 172, 402, 95));
    QCOMPARE(ui.Image2[8]->pos(), QPoint(-2, 50));
    QCOMPARE(ui.Image2[14]->geometry(), QRect(347, 50, 49, 41));

    // Fourteen hidden cells with fourteen different pictures.
    QSet<QByteArray> distinct;
    for (int i = 1; i <= 14; ++i) {
        QVERIFY(ui.Image2[i]->isHidden());
        const QImage image = ui.Image2[i]->pixmap().toImage();
        QVERIFY(!image.isNull());
        // the twice-size companion where a screen has more than one pixel per point
        QCOMPARE(image.devicePixelRatio(), qApp->devicePixelRatio() > 1 ? 2.0 : 1.0);
        distinct.insert(
            QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes()));
    }
    QCOMPARE(distinct.size(), 14);
    // Every picture the windows show has a companion of twice its size.
    const QDir pictures(QStringLiteral(":/pictures"));
    for (const QString &name : pictures.entryList({ "*.ico", "*.bmp", "*.jpg", "*.gif" })) {
        const QString twice = QString(name).replace(QStringLiteral("."), QStringLiteral("@2x."));
        if (!name.contains(u'@'))
            QCOMPARE(QImage(pictures.filePath(twice)).size(),
                QImage(pictures.filePath(name)).size() * 2);
    }
}

void TestScore::formLoad()
{
    PracticeFixture f;
    WorkingDirectory wd(f.dir.path());
    f.load();
    f.runtime.clock = QDateTime(QDate(2026, 12, 6), QTime(14, 5, 9, 500));
    dlgScore *dialog = finishPractice(f, QStringLiteral("60."), QStringLiteral(".25"));
    const Ui::dlgScore &ui = dialog->ui;
    QCOMPARE(ui.txtResult->text(), QStringLiteral("用户"));
    QCOMPARE(ui.txtResult->selectedText(), QStringLiteral("用户"));
    QCOMPARE(dialog->focusWidget(), ui.txtResult);
    QCOMPARE(ui.lblDate->caption(), QStringLiteral("2026 - December - 06-Sunday"));
    QCOMPARE(ui.lblTime->caption(), QStringLiteral("14:05:09"));
    QCOMPARE(ui.lblScore[1]->caption(), QStringLiteral("10"));
    QCOMPARE(ui.lblScore[2]->caption(), QStringLiteral("60."));
    QCOMPARE(ui.lblScore[3]->caption(), QStringLiteral(".25"));
    QCOMPARE(ui.lblScore[4]->caption(), QStringLiteral("1"));
    QCOMPARE(f.runtime.seeds, QList<double> { 14 * 3600 + 5 * 60 + 9.5 });
    // Shown at its fixed place, without an owner and without blocking the main window.
    QVERIFY(!dialog->parentWidget());
    QVERIFY(!dialog->isModal());
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->geometry(), QRect(184, 250, 420, 275));
    QVERIFY(!f.form.isEnabled());
    QVERIFY(!dialog->isSaved());
    // Speed 60 and score 0.25 earn no picture.
    QVERIFY(ui.picFrame1->isHidden());

    // A screen reader hears each value with its title, and the name box by its title.
    const auto name = [](QWidget *widget) {
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    };
    QCOMPARE(name(ui.txtResult), QStringLiteral("姓名"));
    QCOMPARE(name(ui.lblScore[1]), QStringLiteral("字数: 10"));
    QCOMPARE(name(ui.lblScore[2]), QStringLiteral("速度: 60."));
    QCOMPARE(name(ui.lblScore[3]), QStringLiteral("得分: .25"));
    QCOMPARE(name(ui.lblScore[4]), QStringLiteral("错误: 1"));
}

void TestScore::returnPressesFocusedButton_data()
{
    QTest::addColumn<int>("key");
    QTest::addRow("Return") << int(Qt::Key_Return);
    QTest::addRow("Enter") << int(Qt::Key_Enter);
}

void TestScore::returnPressesFocusedButton()
{
    QFETCH(int, key);
    PracticeFixture f;
    WorkingDirectory wd(f.dir.path());
    f.load();
    dlgScore *dialog = finishPractice(f);
    dialog->ui.cmdSave->setFocus();
    QTest::keyClick(dialog->ui.cmdSave, Qt::Key(key));
    // The button is drawn pressed for a moment, then clicked.
    QTRY_VERIFY(dialog->isSaved());
    QCOMPARE(readAll(reportPath(f)).count("\r\n"), NewReport);
}

void TestScore::awardsShown_data()
{
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("score");
    QTest::addColumn<double>("draw");
    QTest::addColumn<bool>("frame");
    QTest::addColumn<int>("cells");
    QTest::addColumn<int>("picture");
    QTest::addRow("eight copies of picture 5") << "100."
                                               << "80." << 0.32 << true << 8 << 5;
    QTest::addRow("fourteen copies of picture 14") << "250."
                                                   << "100." << 0.999 << true << 14 << 14;
    QTest::addRow("frame without cells") << "125."
                                         << "50." << 0.0 << true << 0 << 1;
    QTest::addRow("empty captions") << ""
                                    << "" << 0.5 << false << 0 << 8;
}

void TestScore::awardsShown()
{
    QFETCH(QString, speed);
    QFETCH(QString, score);
    QFETCH(double, draw);
    QFETCH(bool, frame);
    QFETCH(int, cells);
    QFETCH(int, picture);
    PracticeFixture f;
    WorkingDirectory wd(f.dir.path());
    f.load();
    // The learner's one error is a tenth of the text: not over half.
    f.runtime.randomDraws.enqueue(draw);
    const QImage chosen
        = dlgScore(f.runtime, PracticeResult()).ui.Image2[picture]->pixmap().toImage();
    const Ui::dlgScore &ui = finishPractice(f, speed, score)->ui;
    QCOMPARE(!ui.picFrame1->isHidden(), frame);
    for (int i = 1; i <= 14; ++i) {
        QCOMPARE(!ui.Image2[i]->isHidden(), i <= cells);
        if (i <= cells) {
            QCOMPARE(ui.Image2[i]->pixmap().toImage(), chosen);
            QVERIFY(ui.Image2[i]->accessibleName().startsWith(QStringLiteral("奖励：")));
            QCOMPARE(ui.Image2[i]->accessibleName(), ui.Image2[picture]->accessibleName());
        }
    }
}

void TestScore::saveAppendsInOrder_data()
{
    QTest::addColumn<QByteArray>("before"); // the report's bytes before, if there is one
    QTest::addColumn<QByteArray>("start"); // what the first entry follows
    QTest::addRow("a new report") << QByteArray()
                                  << QByteArray("<html><meta charset=\"gb18030\">\r\n");
    QTest::addRow("an older report, unchanged") << QByteArray("old\r\n") << QByteArray("old\r\n");
}

void TestScore::saveAppendsInOrder()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, start);
    PracticeFixture f;
    WorkingDirectory wd(f.dir.path());
    if (!before.isEmpty())
        writeFile(f.dir, reportFileName(), before);
    f.load();
    dlgScore *first = finishPractice(f);
    first->ui.cmdSave->click();
    QVERIFY(first->isSaved());
    QVERIFY(f.runtime.messages.size() == 1); // only the free-input message at start
    first->ui.cmdOK->click();

    f.runtime.clock = f.runtime.clock.addSecs(75);
    dlgScore *second = finishPractice(f, QStringLiteral("60."), QStringLiteral("48."));
    QVERIFY(second != first);
    second->ui.txtResult->setText(QString()); // an empty name
    second->ui.cmdSave->click();

    const QByteArray expected = start
        + crlfGb(entryLines(QStringLiteral("2026 - December - 06-Sunday 14:05:09"),
                     QStringLiteral("用户"), "10", "85.5", "72.34", "1")
            + entryLines(QStringLiteral("2026 - December - 06-Sunday 14:06:24"), QString(), "10",
                "60.", "48.", "1"));
    QCOMPARE(readAll(reportPath(f)), expected);
}

void TestScore::saveOnlyOnce_data()
{
    QTest::addColumn<QString>("presses"); // s: the Save button, e: Enter in the name box
    QTest::addRow("Save twice") << "ss";
    QTest::addRow("Save then Enter") << "se";
    QTest::addRow("Enter three times") << "eee";
}

void TestScore::saveOnlyOnce()
{
    QFETCH(QString, presses);
    PracticeFixture f;
    WorkingDirectory wd(f.dir.path());
    f.load();
    dlgScore *dialog = finishPractice(f);
    for (QChar press : presses) {
        if (press == QLatin1Char('s'))
            dialog->ui.cmdSave->click();
        else
            f.type(dialog->ui.txtResult, QStringLiteral("\r"));
    }
    QCOMPARE(readAll(reportPath(f)).count("\r\n"), NewReport);
    QCOMPARE(dialog->ui.txtResult->text(), QStringLiteral("用户"));
}

void TestScore::failedSaveWarnsAndRetries()
{
    PracticeFixture f;
    WorkingDirectory wd(f.dir.path());
    f.load();
    // A folder in the report's place: it cannot be opened for writing, even by root.
    QVERIFY(QDir(f.dir.path()).mkdir(reportFileName()));
    dlgScore *dialog = finishPractice(f);
    dialog->ui.cmdSave->click();
    QVERIFY(!dialog->isSaved());
    const FakeRuntime::Message &warning = f.runtime.messages.constLast();
    QCOMPARE(warning.prompt,
        QStringLiteral("  无法保存成绩到： \r\n\r\n") + QDir::currentPath()
            + QStringLiteral("\r\n\r\n请检查一下文件(夹)!"));
    QCOMPARE(warning.style, MsgBoxStyle::Exclamation);
    QCOMPARE(warning.title, QStringLiteral("提示"));

    QVERIFY(QDir(f.dir.path()).rmdir(reportFileName()));
    dialog->ui.cmdSave->click();
    QVERIFY(dialog->isSaved());
    QCOMPARE(readAll(reportPath(f)).count("\r\n"), NewReport);

    // A working folder deleted meanwhile is named as it was, with a note.
    const QString gone = f.dir.filePath(QStringLiteral("gone"));
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("gone")));
    const WorkingDirectory inGone(gone);
    QVERIFY(QDir(gone).removeRecursively());
    dialog->ui.cmdOK->click();
    finishPractice(f)->ui.cmdSave->click();
    QVERIFY(f.runtime.messages.constLast().prompt.contains(
        gone + QStringLiteral("（此文件夹已被删除）")));
}

namespace {

// Runs body in a child process whose files cannot grow past limit bytes, as on a full
// disk: a write stops part-way and fails. Returns the child's exit status.
int withFileSizeLimit(rlim_t limit, const std::function<bool()> &body)
{
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit fileSize { limit, limit };
        setrlimit(RLIMIT_FSIZE, &fileSize);
        _exit(body() ? 0 : 1);
    }
    int status = -1;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace

void TestScore::failedWriteLeavesFileAsItWas()
{
    PracticeFixture f;
    WorkingDirectory wd(f.dir.path());
    const QByteArray before(1000, 'o');
    writeFile(f.dir, reportFileName(), before);
    f.load();
    dlgScore *dialog = finishPractice(f);
    dialog->ui.txtResult->setText(QString(500, QLatin1Char('n')));

    // In the child, Save fails part-way: the learner is warned and nothing is saved.
    const int status = withFileSizeLimit(1200, [&] {
        dialog->ui.cmdSave->click();
        const FakeRuntime::Message &last = f.runtime.messages.constLast();
        return !dialog->isSaved() && last.style == MsgBoxStyle::Exclamation
            && last.prompt.startsWith(QStringLiteral("  无法保存成绩到："));
    });
    QCOMPARE(status, 0);
    QCOMPARE(readAll(reportPath(f)), before); // no torn entry left behind

    // A report that the failed save would have created is removed again.
    const QString fresh = f.dir.filePath(QStringLiteral("new.htm"));
    QCOMPARE(withFileSizeLimit(100, [&] { return !appendWhole(fresh, QByteArray(500, 'x')); }), 0);
    QVERIFY(!QFile::exists(fresh));

    // Unless another copy has saved its entry into it meanwhile: that entry stays.
    QCOMPARE(withFileSizeLimit(300,
                 [&] {
                     ReportFile mine;
                     return mine.open(fresh) && appendWhole(fresh, "theirs\r\n", "head\r\n")
                         && mine.tryLock()
                         && mine.append(QByteArray(500, 'x')).error == SaveError::TooLarge;
                 }),
        0);
    QCOMPARE(readAll(fresh), QByteArray("head\r\ntheirs\r\n"));
}

namespace {

// Locks a file as another program does, until the returned descriptor is closed: an open
// file description's lock, which the program's own locks give way to.
int holdLock(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT, 0666);
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    return fd >= 0 && ::fcntl(fd, F_OFD_SETLK, &lock) == 0 ? fd : -1;
}

} // namespace

void TestScore::saveWaitsForTheLock_data()
{
    QTest::addColumn<QString>("command"); // given while the save waits
    QTest::addColumn<bool>("released"); // the lock, or else held past the wait
    QTest::addRow("Save") << "save" << true;
    QTest::addRow("OK meanwhile") << "OK" << true;
    QTest::addRow("the close box meanwhile") << "close" << true;
    QTest::addRow("Exit meanwhile") << "exit" << true;
    QTest::addRow("the tenth tick") << "tick" << true;
    QTest::addRow("Save, held too long") << "save" << false;
    QTest::addRow("the tenth tick, held too long") << "tick" << false;
}

void TestScore::saveWaitsForTheLock()
{
    QFETCH(QString, command);
    QFETCH(bool, released);
    PracticeFixture f;
    WorkingDirectory wd(f.dir.path());
    f.load();
    QPointer<dlgScore> dialog = finishPractice(f);
    const int dialogs = f.runtime.dialogs.size();
    const auto warnings = [&f] {
        return std::count_if(f.runtime.messages.cbegin(), f.runtime.messages.cend(),
            [](const FakeRuntime::Message &m) { return m.title == QStringLiteral("提示"); });
    };
    int holder = holdLock(reportPath(f));
    QVERIFY(holder >= 0);
    if (command == QLatin1String("tick")) {
        for (int i = 0; i < 10; ++i)
            dialog->Timer1_Timer();
    } else {
        dialog->ui.cmdSave->click();
    }
    // The save waits without holding up the window; what the learner does meanwhile
    // waits for it.
    QVERIFY(dialog->isSaving());
    if (command == QLatin1String("OK"))
        dialog->ui.cmdOK->click();
    else if (command == QLatin1String("close"))
        QVERIFY(!dialog->close());
    else if (command == QLatin1String("exit"))
        dialog->ui.cmdExit->click();
    QCoreApplication::processEvents();
    QVERIFY(dialog->isVisible());
    QCOMPARE(f.runtime.endCalls, 0);
    QVERIFY(warnings() == 0 && !dialog->isSaved());

    if (released)
        ::close(std::exchange(holder, -1));
    else
        f.runtime.monotonic += ReportLockWaitMs;
    QTRY_VERIFY(!dialog || !dialog->isSaving());
    if (holder >= 0)
        ::close(holder);
    QCOMPARE(readAll(reportPath(f)).count("\r\n"), released ? NewReport : 0);
    QCOMPARE(warnings(), released ? 0 : 1);
    const bool ends = command == QLatin1String("exit") || command == QLatin1String("tick");
    QCOMPARE(f.runtime.endCalls, ends ? 1 : 0);
    const bool closes = command == QLatin1String("OK") || command == QLatin1String("close");
    QCOMPARE(f.runtime.dialogs.size(), closes ? dialogs + 1 : dialogs); // a new practice
}

void TestScore::saveWithoutLocks_data()
{
    QTest::addColumn<int>("error"); // what the file system answers a lock with
    QTest::addColumn<bool>("saved");
    QTest::addRow("no locks (NFS without its lock daemons)") << ENOLCK << true;
    QTest::addRow("locks not supported") << EOPNOTSUPP << true;
    QTest::addRow("locks refused") << EINVAL << true;
    QTest::addRow("a failing disk") << EIO << false;
}

void TestScore::saveWithoutLocks()
{
    QFETCH(int, error);
    QFETCH(bool, saved);
    static int answer = 0;
    answer = error;
    const auto standard = std::exchange(setReportLock, [](int, struct flock *) {
        errno = answer;
        return -1;
    });
    QTemporaryDir dir;
    const QString report = dir.filePath(reportFileName());
    const SaveResult result = appendWhole(report, "entry\r\n", "head\r\n");
    setReportLock = standard;
    QCOMPARE(bool(result), saved);
    // Saved whole, or nothing left behind: no empty report.
    QCOMPARE(readAll(report), saved ? QByteArray("head\r\nentry\r\n") : QByteArray());
    QCOMPARE(QFile::exists(report), saved);
}

void TestScore::tenthTickSavesAndEnds()
{
    PracticeFixture f;
    WorkingDirectory wd(f.dir.path());
    f.load();
    dlgScore *dialog = finishPractice(f);
    for (int i = 0; i < 9; ++i)
        dialog->Timer1_Timer();
    QVERIFY(!QFile::exists(reportPath(f)));
    QCOMPARE(f.runtime.endCalls, 0);
    // The program ends with the tick, and nothing runs after its end: the result is
    // saved first.
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, dialog->Timer1_Timer());
    QCOMPARE(f.runtime.endCalls, 1);
    QCOMPARE(readAll(reportPath(f)).count("\r\n"), NewReport);
    dialog->Timer1_Timer(); // later ticks do nothing
    QCOMPARE(f.runtime.endCalls, 1);

    // Saved before the tenth tick: no second entry.
    PracticeFixture g;
    WorkingDirectory wd2(g.dir.path());
    g.load();
    dlgScore *saved = finishPractice(g);
    saved->ui.cmdSave->click();
    for (int i = 0; i < 9; ++i)
        saved->Timer1_Timer();
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, saved->Timer1_Timer());
    QCOMPARE(g.runtime.endCalls, 1);
    QCOMPARE(readAll(reportPath(g)).count("\r\n"), NewReport);
}

void TestScore::dismissedDialogNeverActs_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::addRow("OK") << false;
    QTest::addRow("the close box") << true;
}

void TestScore::dismissedDialogNeverActs()
{
    QFETCH(bool, closeBox);
    PracticeFixture f;
    WorkingDirectory wd(f.dir.path());
    f.load();
    // Ten minutes in a few milliseconds: a dialog left open saves and ends the program.
    dlgScore *open = finishPractice(f);
    open->ui.Timer1->setInterval(2);
    QTRY_COMPARE(f.runtime.endCalls, 1);
    open->ui.cmdOK->click();
    dlgScore *dialog = finishPractice(f);
    // A dismissed one never does, while the next open-file dialog runs an event loop of
    // its own for longer than that, as the real one does while the learner chooses.
    dialog->ui.Timer1->setInterval(2);
    f.runtime.onOpenDialog = [] {
        QEventLoop choosing;
        QTimer::singleShot(100, &choosing, &QEventLoop::quit);
        choosing.exec();
    };
    // Dismissed from inside the program's event loop, as a click is: the dialog's
    // deletion then waits until that loop runs again.
    const qsizetype dialogs = f.runtime.dialogs.size();
    QEventLoop program;
    QTimer::singleShot(0, &program, [&] {
        if (closeBox)
            dialog->close();
        else
            dialog->ui.cmdOK->click();
        program.quit();
    });
    program.exec();
    QTRY_COMPARE(f.runtime.dialogs.size(), dialogs + 1); // the next practice has started
    QCOMPARE(f.runtime.endCalls, 1);
    QCOMPARE(readAll(reportPath(f)).count("\r\n"), NewReport);
}

void TestScore::mainWindowStaysWhileScoreShows()
{
    PracticeFixture f;
    WorkingDirectory wd(f.dir.path());
    f.load();
    dlgScore *dialog = finishPractice(f);
    const int dialogs = f.runtime.dialogs.size();
    // The window manager's close box sends the disabled main window a real close event.
    QVERIFY(!f.form.close());
    QVERIFY(f.form.isVisible());
    QVERIFY(dialog->isVisible());
    QCOMPARE(f.form.scoreDialog(), dialog);
    QCOMPARE(f.runtime.dialogs.size(), dialogs); // no stray open-file dialog
    dialog->ui.cmdSave->click();
    QCOMPARE(readAll(reportPath(f)).count("\r\n"), NewReport);
}

void TestScore::reportMustBeRegularFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addRow("a named pipe") << "fifo";
    QTest::addRow("a link to a file") << "link";
    QTest::addRow("a dangling link") << "dangling";
}

void TestScore::reportMustBeRegularFile()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString report = dir.filePath(reportFileName());
    const QString target = dir.filePath(QStringLiteral("target"));
    if (kind == QLatin1String("link"))
        writeFile(dir, QStringLiteral("target"), "precious\n");
    if (kind != QLatin1String("fifo"))
        QVERIFY(QFile::link(target, report));
    const SpecialFile special(kind, report);

    QVERIFY(!appendWhole(report, "entry\r\n"));
    // Nothing written through the link, and no target created for a dangling one.
    QCOMPARE(
        readAll(target), kind == QLatin1String("link") ? QByteArray("precious\n") : QByteArray());
    QCOMPARE(QFile::exists(target), kind == QLatin1String("link"));
}

void TestScore::reportHeldOrReplaced()
{
    // Another copy holds the report's lock: a save cannot take it, and says who has it.
    QTemporaryDir dir;
    const QString report = dir.filePath(reportFileName());
    int held[2];
    QVERIFY(::pipe(held) == 0);
    const pid_t copy = fork();
    if (copy == 0) {
        ReportFile file;
        if (file.open(report) && file.tryLock() && ::write(held[1], "h", 1) == 1)
            ::pause(); // until killed
        _exit(1);
    }
    char ready = 0;
    QVERIFY(::read(held[0], &ready, 1) == 1);
    ReportFile mine;
    QVERIFY(mine.open(report));
    const SaveResult locked = mine.tryLock();
    ::kill(copy, SIGKILL);
    ::waitpid(copy, nullptr, 0);
    for (const int fd : held)
        ::close(fd);
    QCOMPARE(locked.error, SaveError::Locked);
    QVERIFY2(locked.reason.contains(QString::number(copy)), qPrintable(locked.reason));

    // Another program renames its file over a report this save is creating: the save
    // fails, and that file stays as it is.
    const QString fresh = dir.filePath(QStringLiteral("fresh.htm"));
    ReportFile file;
    QVERIFY(file.open(fresh) && file.tryLock());
    const QString other = writeFile(dir, QStringLiteral("other"), "other\r\n");
    QVERIFY(
        ::rename(QFile::encodeName(other).constData(), QFile::encodeName(fresh).constData()) == 0);
    QCOMPARE(file.append("entry\r\n").error, SaveError::Replaced);
    QCOMPARE(readAll(fresh), QByteArray("other\r\n"));
}

void TestScore::concurrentSavesOnFullDisk()
{
    // Four copies of the program save into one report on a disk that fills up: each
    // child process may write only so far. Every save reported as done must be in the
    // report, whole, and nothing else may be. The copies' turns vary from run to run,
    // so the race is run several times over.
    for (int round = 0; round < 8; ++round)
        concurrentSavesRound();
}

void TestScore::classSavesAtOnce()
{
    // Forty copies of the program save at the same moment: each waits its turn, and
    // every entry is saved.
    QTemporaryDir dir;
    const QString report = dir.filePath(reportFileName());
    constexpr int Copies = 40;
    int start[2];
    QVERIFY(::pipe(start) == 0);
    std::array<pid_t, Copies> children {};
    for (int copy = 0; copy < Copies; ++copy) {
        children[size_t(copy)] = fork();
        if (children[size_t(copy)] == 0) {
            ::close(start[1]);
            char go = 0;
            const bool started = ::read(start[0], &go, 1) == 0; // all at once, at the close
            _exit(started && appendWhole(report, "<entry " + QByteArray::number(copy) + ">\r\n")
                    ? 0
                    : 1);
        }
    }
    ::close(start[0]);
    ::close(start[1]);
    for (pid_t child : children) {
        int status = -1;
        QVERIFY(child > 0 && waitpid(child, &status, 0) == child);
        QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, "a copy could not save");
    }
    QCOMPARE(readAll(report).count("<entry "), Copies);
}

void TestScore::concurrentSavesRound()
{
    QTemporaryDir dir;
    const QString report = dir.filePath(reportFileName());
    constexpr int Copies = 4;
    constexpr int Saves = 60;
    const auto entry = [](int copy, int save) -> QByteArray {
        return QByteArray("<entry ") + QByteArray::number(copy) + ' ' + QByteArray::number(save)
            + ' ' + QByteArray(200 + 37 * (save % 5), 'x') + ">\r\n";
    };
    std::array<pid_t, Copies> children {};
    for (int copy = 0; copy < Copies; ++copy) {
        children[size_t(copy)] = fork();
        if (children[size_t(copy)] == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit fileSize { 16'000, 16'000 };
            setrlimit(RLIMIT_FSIZE, &fileSize);
            int saved = 0;
            for (int save = 0; save < Saves; ++save)
                saved += appendWhole(report, entry(copy, save)) ? 1 : 0;
            _exit(saved);
        }
    }
    int saved = 0;
    for (pid_t child : children) {
        int status = -1;
        QVERIFY(child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status));
        saved += WEXITSTATUS(status);
    }

    const QByteArray bytes = readAll(report);
    QVERIFY(!bytes.contains('\0'));
    const QList<QByteArray> entries = bytes.split('\n');
    QVERIFY(entries.constLast().isEmpty()); // ends with a whole entry
    QCOMPARE(entries.size() - 1, saved);
    QVERIFY(saved > 0);
    for (qsizetype i = 0; i + 1 < entries.size(); ++i) {
        const QList<QByteArray> fields = entries[i].split(' ');
        QCOMPARE(fields.size(), 4);
        QCOMPARE(entries[i] + '\n', entry(fields[1].toInt(), fields[2].toInt()));
    }
}

void TestScore::closingActsAsOK()
{
    PracticeFixture f;
    WorkingDirectory wd(f.dir.path());
    f.load();
    QPointer<dlgScore> dialog = finishPractice(f);
    const int dialogsBefore = f.runtime.dialogs.size();
    dialog->close();
    QVERIFY(!dialog->isVisible());
    QCoreApplication::sendPostedEvents(); // the main window acts after the dialog's handler
    QVERIFY(f.form.isEnabled());
    QCOMPARE(f.runtime.dialogs.size(), dialogsBefore + 1); // a new practice began
    QVERIFY(!QFile::exists(reportPath(f))); // the unsaved result is dropped
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog.isNull());
}

void TestScore::okStartsNewPracticeWithFreshDialog()
{
    PracticeFixture f;
    WorkingDirectory wd(f.dir.path());
    f.load();
    QPointer<dlgScore> first = finishPractice(f);
    first->ui.cmdSave->click();
    for (int i = 0; i < 3; ++i)
        first->Timer1_Timer();
    first->ui.cmdOK->click();
    QCoreApplication::sendPostedEvents();
    QVERIFY(f.form.isEnabled());
    QVERIFY(f.form.ui.Timer1->isEnabled());
    QCOMPARE(f.form.state().TypedChars, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());

    dlgScore *second = finishPractice(f);
    QVERIFY(second);
    QVERIFY(!second->isSaved());
    QCOMPARE(second->ticks(), qint16(0));
    QCOMPARE(second->ui.txtResult->text(), QStringLiteral("用户"));
}

void TestScore::exitEndsWithoutSaving()
{
    PracticeFixture f;
    WorkingDirectory wd(f.dir.path());
    f.load();
    dlgScore *dialog = finishPractice(f);
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, Q_EMIT dialog->ui.cmdExit->clicked());
    QCOMPARE(f.runtime.endCalls, 1);
    QVERIFY(!QFile::exists(reportPath(f)));
}

void TestScore::reportCommand_data()
{
    QTest::addColumn<bool>("reportExists");
    QTest::addColumn<bool>("viewerStarts");
    QTest::addColumn<bool>("opened");
    QTest::addRow("report saved") << true << true << true;
    QTest::addRow("no report yet") << false << true << false;
    QTest::addRow("nothing can show it") << true << false << true;
}

void TestScore::reportCommand()
{
    QFETCH(bool, reportExists);
    QFETCH(bool, viewerStarts);
    QFETCH(bool, opened);
    PracticeFixture f;
    WorkingDirectory wd(f.dir.path());
    f.load();
    dlgScore *dialog = finishPractice(f);
    if (reportExists)
        dialog->ui.cmdSave->click();
    f.runtime.viewerStarts = viewerStarts;
    const int shown = f.runtime.messages.size();
    dialog->ui.cmdScore->click();
    QCoreApplication::sendPostedEvents(); // the desktop's opener answers later
    // The report in the working directory, where Save writes it.
    QCOMPARE(f.runtime.opened,
        opened ? QStringList { f.dir.filePath(QStringLiteral("成绩单.htm")) } : QStringList());
    if (reportExists && viewerStarts) {
        QCOMPARE(f.runtime.messages.size(), shown);
        return;
    }
    QCOMPARE(f.runtime.messages.size(), shown + 1);
    QCOMPARE(f.runtime.messages.constLast().prompt, QStringLiteral("成绩单不存在！"));
    QCOMPARE(f.runtime.messages.constLast().style, MsgBoxStyle::Plain);
    QCOMPARE(f.runtime.messages.constLast().title, QStringLiteral("Keyvale"));
}

KEYVALE_TEST_MAIN(TestScore)
#include "tst_score.moc"
