// SPDX-License-Identifier: GPL-3.0-or-later
#include "practicefixture.h"

#include "base/format.h"
#include "practice/statistics.h"

#include <QTest>

class TestClock : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void clockText_data();
    void clockText();
    void tenthsCarryOver();
    void lateTickCatchesUp();
    void stoppedTimerFreezesClock();
    void lastMinuteEndsProgram();
    void timeOfDay();
    void statistics_data();
    void statistics();
    void statisticsShown();
    void freeInputHasNoStatistics();
};

void TestClock::clockText_data()
{
    QTest::addColumn<int>("ticks"); // each 100 ms
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("seconds");
    QTest::addRow("one tick") << 1 << "时间：0:0:1" << 0;
    QTest::addRow("ten ticks make a second") << 10 << "时间：0:1:0" << 1;
    QTest::addRow("no leading zeros") << 72 << "时间：0:7:2" << 7;
    QTest::addRow("59.9 seconds") << 599 << "时间：0:59:9" << 59;
    QTest::addRow("60 seconds carry to a minute") << 600 << "时间：1:0:0" << 0;
    QTest::addRow("one hour") << 36000 << "时间：60:0:0" << 0;
}

void TestClock::clockText()
{
    QFETCH(int, ticks);
    QFETCH(QString, shown);
    QFETCH(int, seconds);
    PracticeFixture f;
    f.start("abc\r\n");
    for (int i = 0; i < ticks; ++i)
        f.advanceClock(100);
    QCOMPARE(f.form.ui.lblResult[3]->caption(), shown);
    QCOMPARE(f.form.state().Seconds, qint16(seconds));
}

void TestClock::tenthsCarryOver()
{
    PracticeFixture f;
    f.start("abc\r\n");
    f.advanceClock(1700);
    QCOMPARE(f.form.ui.lblResult[3]->caption(), QStringLiteral("时间：0:1:7"));

    // A new practice sets minutes and seconds to zero but keeps the tenths digit.
    f.offer("def\r\n");
    f.form.menuOpen_Click();
    QCOMPARE(f.form.state().Tenths, qint16(7));
    f.advanceClock(100);
    QCOMPARE(f.form.ui.lblResult[3]->caption(), QStringLiteral("时间：0:0:8"));
    f.advanceClock(200);
    QCOMPARE(f.form.ui.lblResult[3]->caption(), QStringLiteral("时间：0:1:0"));
}

void TestClock::lateTickCatchesUp()
{
    // A tick that comes late (a busy moment) shows the time that really passed.
    PracticeFixture f;
    f.start("abc\r\n");
    f.advanceClock(100);
    f.advanceClock(2550);
    QCOMPARE(f.form.ui.lblResult[3]->caption(), QStringLiteral("时间：0:2:6"));
}

void TestClock::stoppedTimerFreezesClock()
{
    PracticeFixture f;
    f.start("abcdef\r\n");
    f.advanceClock(3000);
    f.form.ui.Timer1->setEnabled(false);
    f.form.ui.Timer2->setEnabled(false);
    f.advanceClock(60'000);
    QCOMPARE(f.form.ui.lblResult[3]->caption(), QStringLiteral("时间：0:3:0"));

    // Running again resumes from the same reading.
    f.form.ui.Timer1->setEnabled(true);
    f.advanceClock(100);
    QCOMPARE(f.form.ui.lblResult[3]->caption(), QStringLiteral("时间：0:3:1"));
}

void TestClock::lastMinuteEndsProgram()
{
    PracticeFixture f;
    f.start("abc\r\n");
    const qint64 lastMinute = 32765LL * 60'000;
    f.advanceClock(lastMinute + 59'900);
    QCOMPARE(f.form.ui.lblResult[3]->caption(), QStringLiteral("时间：32765:59:9"));
    QCOMPARE(f.runtime.endCalls, 0);
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, f.advanceClock(100));
    QCOMPARE(f.runtime.endCalls, 1);
    QCOMPARE(f.form.state().Minutes, qint16(0));
}

void TestClock::timeOfDay()
{
    PracticeFixture f;
    f.start("abc\r\n");
    f.runtime.clock = QDateTime(QDate(2026, 12, 6), QTime(14, 5, 9));
    f.form.Timer2_Timer();
    QCOMPARE(f.form.ui.lblTime->caption(), QStringLiteral("02:05:09 PM"));
    f.runtime.clock = QDateTime(QDate(2026, 12, 7), QTime(0, 0, 1));
    f.form.Timer2_Timer();
    QCOMPARE(f.form.ui.lblTime->caption(), QStringLiteral("12:00:01 AM"));
}

void TestClock::statistics_data()
{
    QTest::addColumn<int>("typed");
    QTest::addColumn<int>("errors");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("speed"); // "##.##", or empty for none
    QTest::addColumn<QString>("score");
    QTest::addRow("50 characters in 30 seconds") << 50 << 0 << 0 << 30 << "100."
                                                 << "80.";
    QTest::addRow("speed above 125 counts as 125") << 100 << 10 << 0 << 40 << "150."
                                                   << "90.";
    QTest::addRow("score capped at 100") << 180 << 0 << 1 << 0 << "180."
                                         << "100.";
    QTest::addRow("fractions") << 7 << 0 << 0 << 9 << "46.67"
                               << "37.33";
    QTest::addRow("a minute and a half") << 60 << 0 << 1 << 30 << "40."
                                         << "32.";
    // As many errors as keys still gives a score: nothing right, so zero.
    QTest::addRow("every key wrong") << 2 << 2 << 0 << 10 << "12."
                                     << ".";
    // With the clock at zero there is no speed, and the score uses speed 0.
    QTest::addRow("clock at zero") << 3 << 0 << 0 << 0 << ""
                                   << ".";
    QTest::addRow("nothing typed") << 0 << 0 << 0 << 10 << "."
                                   << "";
    // More errors than counted keys after Backspaces.
    QTest::addRow("errors above typed keys") << 0 << 2 << 0 << 10 << "."
                                             << "";
}

void TestClock::statistics()
{
    QFETCH(int, typed);
    QFETCH(int, errors);
    QFETCH(int, minutes);
    QFETCH(int, seconds);
    QFETCH(QString, speed);
    QFETCH(QString, score);
    const std::optional<float> computed = typingSpeed(typed, qint16(minutes), qint16(seconds));
    QCOMPARE(computed ? formatHashDotHash(*computed) : QString(), speed);
    const std::optional<float> scored = typingScore(typed, errors, computed.value_or(0));
    QCOMPARE(scored ? formatHashDotHash(*scored) : QString(), score);
}

void TestClock::statisticsShown()
{
    // The tick shows both, from the clock's minutes and seconds: its tenths take no part.
    PracticeFixture f;
    f.start(QByteArray(200, 'a'));
    f.type(f.box(1), QStringLiteral("aaaaaaa"));
    f.advanceClock(9'900);
    f.form.Timer2_Timer();
    QCOMPARE(f.form.ui.lblSpeed3->caption(), QStringLiteral("46.67"));
    QCOMPARE(f.form.ui.lblRight2->caption(), QStringLiteral("37.33"));
    // Nothing to show: each label keeps its text.
    f.type(f.box(1), QStringLiteral("xxxxxxxx\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b"));
    f.form.Timer2_Timer();
    QCOMPARE(f.form.ui.lblRight2->caption(), QStringLiteral("37.33"));
}

void TestClock::freeInputHasNoStatistics()
{
    PracticeFixture f;
    f.load();
    f.type(f.box(1), QStringLiteral("hello"));
    f.advanceClock(30'000);
    f.form.Timer2_Timer();
    QCOMPARE(f.form.ui.lblSpeed3->caption(), QString());
    QCOMPARE(f.form.ui.lblRight2->caption(), QString());
    QCOMPARE(f.form.ui.lblResult[3]->caption(), QStringLiteral("时间：0:30:0"));
    QVERIFY(!f.form.ui.lblTime->caption().isEmpty());
}

KEYVALE_TEST_MAIN(TestClock)
#include "tst_clock.moc"
