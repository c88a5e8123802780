// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/checked.h"
#include "base/commandline.h"
#include "base/format.h"
#include "platform/desktopbell.h"
#include "platform/qtruntime.h"
#include "testfiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A bell whose parts are the test's: a clock that moves only when the test moves it, the
// desktops' switches as the test sets them, and a player that can hold the worker back
// before the first ring.
struct BellRig
{
    std::atomic<qint64> clockMs { 0 };
    AlertSound gnome { true, "yaru" };
    AlertSound kde { true, "ocean" };
    bool plasma = false;

    std::mutex mutex;
    std::condition_variable changed;
    bool held = false;
    QList<std::pair<SoundBell::Outcome, QByteArray>> heard;

    std::unique_ptr<SoundBell> make()
    {
        struct Player final : BellPlayer
        {
            BellRig &rig;
            explicit Player(BellRig &r)
                : rig(r)
            { }
            void prepare(const QByteArray &) override
            {
                std::unique_lock lock(rig.mutex);
                rig.changed.wait(lock, [this] { return !rig.held; });
            }
            void play(const QByteArray &) override { }
        };
        return std::make_unique<SoundBell>([this] { return clockMs.load(); },
            [this] {
                return SoundBell::Parts { std::make_unique<Player>(*this), [this] { return gnome; },
                    [this] { return kde; }, plasma };
            },
            [this](SoundBell::Outcome outcome, const QByteArray &theme) {
                const std::lock_guard lock(mutex);
                heard.append({ outcome, theme });
                changed.notify_all();
            });
    }
    void release()
    {
        const std::lock_guard lock(mutex);
        held = false;
        changed.notify_all();
    }
    bool waitHeard(qsizetype count)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(
            lock, std::chrono::seconds(10), [&] { return heard.size() >= count; });
    }
};

} // namespace

class TestFormat : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void commandLine_data();
    void commandLine();
    void hashDotHash_data();
    void hashDotHash();
    void valRule_data();
    void valRule();
    void roundToInt16_data();
    void roundToInt16();
    void longDate_data();
    void longDate();
    void time12_data();
    void time12();
    void time24();
    void checkedArithmetic();
    void initTestCase();
    void ringInterval_data();
    void ringInterval();
    void ringHeard_data();
    void ringHeard();
    void kdeSystemBell_data();
    void kdeSystemBell();
    void hostileKdeFiles_data();
    void hostileKdeFiles();
    void mistypedGnomeSchema();
    void viewerAnswer_data();
    void viewerAnswer();
};

void TestFormat::hashDotHash_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("shown");
    QTest::addRow("fraction with one digit") << 45.5f << "45.5";
    QTest::addRow("rounded to two digits") << 45.678f << "45.68";
    QTest::addRow("whole number keeps its point") << 60.0f << "60.";
    QTest::addRow("no leading zero") << 0.25f << ".25";
    QTest::addRow("zero is a lone point") << 0.0f << ".";
    QTest::addRow("float of 72.34 shows its digits") << 72.34f << "72.34";
    QTest::addRow("half rounds away from zero") << 0.125f << ".13";
    QTest::addRow("below half rounds down") << 0.004f << ".";
    QTest::addRow("carry into the whole part") << 99.995f << "100.";
    QTest::addRow("carry from nines") << 9.999f << "10.";
    QTest::addRow("trailing zero dropped") << 12.10f << "12.1";
    QTest::addRow("large value") << 1e10f << "10000000000.";
    QTest::addRow("negative") << -45.5f << "-45.5";
    QTest::addRow("negative rounding to zero has no sign") << -0.001f << ".";
}

void TestFormat::hashDotHash()
{
    QFETCH(float, value);
    QFETCH(QString, shown);
    QCOMPARE(formatHashDotHash(value), shown);
}

void TestFormat::valRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addRow("whole number with point") << "60." << 60.0;
    QTest::addRow("fraction without leading zero") << ".25" << 0.25;
    QTest::addRow("empty text") << "" << 0.0;
    QTest::addRow("lone point") << "." << 0.0;
    QTest::addRow("no number") << "abc" << 0.0;
    QTest::addRow("trailing text ignored") << "-3.5x" << -3.5;
    QTest::addRow("blanks skipped anywhere") << " 12 3" << 123.0;
    QTest::addRow("tabs and line feeds skipped") << "\t4\n5" << 45.0;
    QTest::addRow("plus sign") << "+7" << 7.0;
    QTest::addRow("exponent") << "1.5e2" << 150.0;
    QTest::addRow("D exponent") << "1d3" << 1000.0;
    QTest::addRow("exponent without digits ignored") << "1e" << 1.0;
    QTest::addRow("second point ends the number") << "1.2.3" << 1.2;
    QTest::addRow("hexadecimal") << "&H1F" << 31.0;
    QTest::addRow("octal") << "&o17" << 15.0;
    QTest::addRow("ampersand alone") << "&" << 0.0;
    QTest::addRow("speed text") << "45.68" << 45.68;
    QTest::addRow("full-width digits are not digits") << "６０" << 0.0;
}

void TestFormat::valRule()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(val(text), value);
}

void TestFormat::roundToInt16_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("rounded");
    QTest::addColumn<bool>("overflows");
    QTest::addRow("half to even, down") << 0.5 << 0 << false;
    QTest::addRow("half to even, up") << 1.5 << 2 << false;
    QTest::addRow("2.5 to 2") << 2.5 << 2 << false;
    QTest::addRow("negative half") << -0.5 << 0 << false;
    QTest::addRow("13.5 to 14") << 13.5 << 14 << false;
    QTest::addRow("below half") << 7.49 << 7 << false;
    QTest::addRow("largest") << 32767.4 << 32767 << false;
    QTest::addRow("smallest, half to even") << -32768.5 << -32768 << false;
    QTest::addRow("too large") << 32767.5 << 0 << true;
    QTest::addRow("too small") << -32769.0 << 0 << true;
    QTest::addRow("not a number") << std::nan("") << 0 << true;
    QTest::addRow("infinite") << std::numeric_limits<double>::infinity() << 0 << true;
}

void TestFormat::roundToInt16()
{
    QFETCH(double, value);
    QFETCH(int, rounded);
    QFETCH(bool, overflows);
    if (overflows)
        QVERIFY_THROWS_EXCEPTION(RuntimeError, ::roundToInt16(value));
    else
        QCOMPARE(int(::roundToInt16(value)), rounded);
}

void TestFormat::longDate_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("shown");
    QTest::addRow("English") << QDate(2026, 12, 6)
                             << QLocale(QLocale::English, QLocale::UnitedStates)
                             << "2026 - December - 06-Sunday";
    QTest::addRow("Chinese") << QDate(2026, 12, 6) << QLocale(QLocale::Chinese, QLocale::China)
                             << "2026 - 十二月 - 06-星期日";
    QTest::addRow("single-digit day")
        << QDate(2027, 3, 1) << QLocale(QLocale::English, QLocale::UnitedStates)
        << "2027 - March - 01-Monday";
}

void TestFormat::longDate()
{
    QFETCH(QDate, date);
    QFETCH(QLocale, locale);
    QFETCH(QString, shown);
    QCOMPARE(formatLongDate(date, locale), shown);
}

void TestFormat::time12_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("shown");
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QTest::addRow("afternoon") << QTime(14, 5, 9) << english << "02:05:09 PM";
    QTest::addRow("after midnight") << QTime(0, 30, 0) << english << "12:30:00 AM";
    QTest::addRow("noon") << QTime(12, 0, 0) << english << "12:00:00 PM";
    QTest::addRow("last second of the morning") << QTime(11, 59, 59) << english << "11:59:59 AM";
    QTest::addRow("Chinese afternoon") << QTime(14, 5, 9) << chinese << "02:05:09 下午";
    QTest::addRow("Chinese morning") << QTime(9, 0, 0) << chinese << "09:00:00 上午";
}

void TestFormat::time12()
{
    QFETCH(QTime, time);
    QFETCH(QLocale, locale);
    QFETCH(QString, shown);
    QCOMPARE(formatTime12(time, locale), shown);
}

void TestFormat::time24()
{
    QCOMPARE(formatTime24(QTime(14, 5, 9)), QStringLiteral("14:05:09"));
    QCOMPARE(formatTime24(QTime(0, 0, 0)), QStringLiteral("00:00:00"));
}

void TestFormat::checkedArithmetic()
{
    QCOMPARE(checkedAdd<qint16>(32766, 1), qint16(32767));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, checkedAdd<qint16>(32767, 1));
    QVERIFY_THROWS_EXCEPTION(
        RuntimeError, checkedAdd<qint32>(std::numeric_limits<qint32>::max(), 1));
    QVERIFY_THROWS_EXCEPTION(
        RuntimeError, checkedSub<qint32>(std::numeric_limits<qint32>::min(), 1));
    QCOMPARE(checkedNarrow<qint16>(qsizetype(32767)), qint16(32767));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, checkedNarrow<qint16>(qsizetype(32768)));
}

void TestFormat::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("run");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // a part of what is printed
    QTest::addColumn<QString>("practiceFile");
    const QString here = QDir::currentPath();
    QTest::addRow("nothing") << QStringList {} << true << 0 << ""
                             << "";
    QTest::addRow("a file, made absolute")
        << QStringList { "练习.txt" } << true << 0 << "" << here + "/练习.txt";
    QTest::addRow("--help") << QStringList { "--help" } << false << 0 << "[file]"
                            << "";
    QTest::addRow("-h among other options")
        << QStringList { "-platform", "xcb", "-h" } << false << 0 << "--version"
        << "";
    QTest::addRow("--version") << QStringList { "--version" } << false << 0
                               << "Keyvale " KEYVALE_VERSION "\n"
                               << "";
    QTest::addRow("-v") << QStringList { "-v", "lesson.txt" } << false << 0
                        << "Keyvale " KEYVALE_VERSION "\n"
                        << "";
    QTest::addRow("a file named like an option after --")
        << QStringList { "--", "--version" } << true << 0 << "" << here + "/--version";
    QTest::addRow("an unknown option") << QStringList { "--bogus" } << false << 2 << "bogus"
                                       << "";
    QTest::addRow("two files") << QStringList { "a.txt", "b.txt" } << false << 2 << "one"
                               << "";
}

void TestFormat::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, run);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(QString, practiceFile);
    QCoreApplication::setApplicationName(QStringLiteral("Keyvale"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KEYVALE_VERSION));
    const CommandLine line = parseCommandLine(QStringList { "keyvale" } + arguments);
    QCOMPARE(line.run, run);
    QCOMPARE(line.exitCode, exitCode);
    QVERIFY2(line.output.contains(output), qPrintable(line.output));
    QCOMPARE(line.practiceFile, practiceFile);
}

void TestFormat::initTestCase()
{
    // GNOME's settings come from a schema of this test's, as a broken or foreign one would
    // have it (event-sounds a string), with nothing stored: GSettings reads its schemas
    // once per process.
    static QTemporaryDir schemas;
    writeFile(schemas, QStringLiteral("keyvale-test.gschema.xml"),
        R"(<schemalist>
             <schema id="org.gnome.desktop.sound" path="/org/gnome/desktop/sound/">
               <key name="event-sounds" type="s"><default>'false'</default></key>
               <key name="theme-name" type="s"><default>'yaru'</default></key>
             </schema>
             <schema id="org.gnome.desktop.wm.preferences" path="/org/gnome/desktop/wm/preferences/">
               <key name="audible-bell" type="b"><default>true</default></key>
             </schema>
           </schemalist>)");
    QCOMPARE(QProcess::execute(QStringLiteral("glib-compile-schemas"), { schemas.path() }), 0);
    qputenv("GSETTINGS_SCHEMA_DIR", QFile::encodeName(schemas.path()));
    qputenv("GSETTINGS_BACKEND", "memory");
}

void TestFormat::ringInterval_data()
{
    QTest::addColumn<QList<qint64>>("ringsMs");
    QTest::addColumn<QString>("heard"); // + heard, - dropped, one per ring
    QTest::addRow("first ring, at time 0") << QList<qint64> { 0 } << "+";
    QTest::addRow("30 ms later dropped") << QList<qint64> { 500, 530 } << "+-";
    QTest::addRow("100 ms later heard") << QList<qint64> { 500, 600 } << "++";
    QTest::addRow("interval counts from the last heard ring")
        << QList<qint64> { 0, 60, 120, 200 } << "+-+-";
}

void TestFormat::ringInterval()
{
    QFETCH(QList<qint64>, ringsMs);
    QFETCH(QString, heard);
    BellRig rig;
    const std::unique_ptr<SoundBell> bell = rig.make();
    QString got;
    for (qint64 ms : ringsMs) {
        rig.clockMs = ms;
        got += bell->ring() ? u'+' : u'-';
    }
    QCOMPARE(got, heard);
}

void TestFormat::ringHeard_data()
{
    QTest::addColumn<bool>("gnomeOn");
    QTest::addColumn<bool>("kdeOn");
    QTest::addColumn<bool>("plasma");
    QTest::addColumn<qint64>("takenAfterMs"); // how long the ring waited for the worker
    QTest::addColumn<int>("outcome"); // a SoundBell::Outcome
    QTest::addColumn<QByteArray>("theme");
    constexpr int Played = int(SoundBell::Outcome::Played);
    constexpr int Off = int(SoundBell::Outcome::SwitchedOff);
    constexpr int Stale = int(SoundBell::Outcome::Stale);
    QTest::addRow("both on: GNOME's theme")
        << true << true << false << 0LL << Played << QByteArray("yaru");
    QTest::addRow("on Plasma: KDE's theme")
        << true << true << true << 0LL << Played << QByteArray("ocean");
    QTest::addRow("GNOME's switch off") << false << true << false << 0LL << Off << QByteArray("");
    QTest::addRow("KDE's switch off") << true << false << true << 0LL << Off << QByteArray("");
    QTest::addRow("taken a second late")
        << true << true << false << 1000LL << Played << QByteArray("yaru");
    QTest::addRow("taken later: too late to point at its key")
        << true << true << false << 1001LL << Stale << QByteArray("");
}

void TestFormat::ringHeard()
{
    QFETCH(bool, gnomeOn);
    QFETCH(bool, kdeOn);
    QFETCH(bool, plasma);
    QFETCH(qint64, takenAfterMs);
    QFETCH(int, outcome);
    QFETCH(QByteArray, theme);
    BellRig rig;
    rig.gnome.on = gnomeOn;
    rig.kde.on = kdeOn;
    rig.plasma = plasma;
    // The worker is held before its first ring, as by a slow sound server, while the
    // ring waits and the clock moves on.
    rig.held = true;
    const std::unique_ptr<SoundBell> bell = rig.make();
    QVERIFY(bell->ring());
    rig.clockMs = takenAfterMs;
    rig.release();
    QVERIFY(rig.waitHeard(1));
    QCOMPARE(int(rig.heard.constFirst().first), outcome);
    if (outcome == int(SoundBell::Outcome::Played))
        QCOMPARE(rig.heard.constFirst().second, theme);
}

void TestFormat::kdeSystemBell_data()
{
    QTest::addColumn<QByteArrayList>("files"); // the learner's first
    QTest::addColumn<bool>("on");
    QTest::addRow("no file") << QByteArrayList {} << true;
    QTest::addRow("SystemBell=false") << QByteArrayList { "[Bell]\nSystemBell=false\n" } << false;
    QTest::addRow("custom and visible bells leave it on")
        << QByteArrayList { "[Bell]\nArtsBell=true\nVisibleBell=true\n" } << true;
    QTest::addRow("the key in another group")
        << QByteArrayList { "[Bell]\n[Keyboard]\nSystemBell=false\n" } << true;
    QTest::addRow("KConfig's off, spaced")
        << QByteArrayList { "[Bell]\n SystemBell = Off \n" } << false;
    QTest::addRow("the learner's file overrides the system's")
        << QByteArrayList { "[Bell]\nSystemBell=true\n", "[Bell]\nSystemBell=false\n" } << true;
    QTest::addRow("the system's file alone")
        << QByteArrayList { "[General]\n", "[Bell]\nSystemBell=false\n" } << false;
    QTest::addRow("a locked system entry wins") << QByteArrayList { "[Bell]\nSystemBell=true\n",
        "[Bell]\nSystemBell[$i]=false\n" } << false;
    QTest::addRow("a locked system group wins without the key")
        << QByteArrayList { "[Bell]\nSystemBell=false\n", "[Bell][$i]\nVisibleBell=true\n" }
        << true;
    QTest::addRow("a locked system file wins without the group")
        << QByteArrayList { "[Bell]\nSystemBell=false\n", "[$i]\n[General]\n" } << true;
    QTest::addRow("a file lock only at the top")
        << QByteArrayList { "[Bell]\nSystemBell=false\n", "[General]\n[$i]\n" } << false;
    QTest::addRow("another group locked") << QByteArrayList { "[Bell]\nSystemBell=false\n",
        "[Keyboard][$i]\n[Bell]\nSystemBell=true\n" }
                                          << false;
}

void TestFormat::kdeSystemBell()
{
    QFETCH(QByteArrayList, files);
    QFETCH(bool, on);
    QCOMPARE(kdeAlertSound(files, {}).on, on);
    // KDE's switch for every notification sound silences the bell too, and names the
    // theme Plasma plays from.
    const AlertSound sounds
        = kdeAlertSound(files, { "[Sounds]\nEnable=false\nTheme=freedesktop\n" });
    QVERIFY(!sounds.on);
    QCOMPARE(sounds.theme, QByteArray("freedesktop"));
    QCOMPARE(kdeAlertSound(files, { "[Sounds][$i]\n", "[Sounds]\nEnable=false\n" }).theme,
        QByteArray("ocean"));
}

void TestFormat::hostileKdeFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addRow("a link to /dev/zero") << "zero";
    QTest::addRow("a named pipe") << "fifo";
    QTest::addRow("100 MB, the switch at its end") << "huge";
}

void TestFormat::hostileKdeFiles()
{
    QFETCH(QString, kind);
    QTemporaryDir config;
    const QByteArray kaccessrc = QFile::encodeName(config.filePath(QStringLiteral("kaccessrc")));
    int writer = -1;
    if (kind == QLatin1String("zero")) {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), QFile::decodeName(kaccessrc)));
    } else if (kind == QLatin1String("fifo")) {
        // With a writer at the other end, which has written a switch into it.
        QCOMPARE(::mkfifo(kaccessrc.constData(), 0600), 0);
        writer = ::open(kaccessrc.constData(), O_RDWR | O_NONBLOCK);
        QVERIFY(::write(writer, "[Bell]\nSystemBell=false\n", 24) == 24);
    } else {
        QFile file(QFile::decodeName(kaccessrc));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(100'000'000)); // a sparse file
        QVERIFY(file.seek(file.size()));
        file.write("\n[Bell]\nSystemBell=false\n");
    }
    const QByteArray home = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    // No hang, no exhausted memory: such a file says nothing, and the bell stays on.
    QVERIFY(desktopBellParts().kde().on);
    qputenv("XDG_CONFIG_HOME", home);
    if (writer >= 0)
        ::close(writer);
}

void TestFormat::mistypedGnomeSchema()
{
    // A key of the wrong type leaves its schema unread, as a missing one: the bell is on,
    // and GLib has nothing to complain of at every ring.
    const AlertSound sound = desktopBellParts().gnome();
    QVERIFY(sound.on);
    QCOMPARE(sound.theme, QByteArray());
}

void TestFormat::viewerAnswer_data()
{
    QTest::addColumn<int>("exitStatus"); // of the desktop's opener
    QTest::addRow("shown") << 0;
    QTest::addRow("nothing to show it with") << 3;
}

void TestFormat::viewerAnswer()
{
    QFETCH(int, exitStatus);
    // A stand-in for the desktop's opener, first on the path.
    QTemporaryDir bin;
    const QString opener = writeFile(
        bin, QStringLiteral("xdg-open"), "#!/bin/sh\nexit " + QByteArray::number(exitStatus));
    QFile::setPermissions(opener, QFile::ReadOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()) + ':' + path);
    QtRuntime runtime;
    std::optional<bool> shown;
    runtime.openInViewer(
        bin.filePath(QStringLiteral("report.htm")), this, [&](bool answer) { shown = answer; });
    qputenv("PATH", path);
    QTRY_VERIFY(shown.has_value());
    QCOMPARE(*shown, exitStatus == 0);
}

QTEST_GUILESS_MAIN(TestFormat)
#include "tst_format.moc"
