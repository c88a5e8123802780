// SPDX-License-Identifier: GPL-3.0-or-later
#include "practicefixture.h"

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
    f.advanceClock(100);
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
    QTest::addColumn<QString>("typing"); // typed into a row of 200 'a'
    QTest::addColumn<int>("elapsedMs");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("score");
    QTest::addRow("50 characters in 30 seconds")
        << QString(50, QLatin1Char('a')) << 30'000 << "100."
        << "80.";
    QTest::addRow("speed above 125 counts as 125")
        << QString(90, QLatin1Char('a')) + QString(10, QLatin1Char('x')) << 40'000 << "150."
        << "90.";
    QTest::addRow("score capped at 100")
        << QString(200, QLatin1Char('a')).left(180) << 60'000 << "180."
        << "100.";
    QTest::addRow("fractions") << QString(7, QLatin1Char('a')) << 9'000 << "46.67"
                               << "37.33";
    // Tenths take no part in the speed.
    QTest::addRow("tenths are left out") << QString(7, QLatin1Char('a')) << 9'900 << "46.67"
                                         << "37.33";
    QTest::addRow("a minute and a half") << QString(60, QLatin1Char('a')) << 90'500 << "40."
                                         << "32.";
    // As many errors as keys still gives a score: nothing right, so zero.
    QTest::addRow("every key wrong") << QStringLiteral("xx") << 10'000 << "12."
                                     << ".";
    // With the clock at zero the speed label keeps its text and the score uses speed 0.
    QTest::addRow("clock at zero") << QStringLiteral("aaa") << 0 << ""
                                   << ".";
    // No keys: neither is computed beyond the speed.
    QTest::addRow("nothing typed") << QString() << 10'000 << "."
                                   << "";
    // More errors than counted keys after Backspaces: the score keeps its text.
    QTest::addRow("errors above typed keys") << QStringLiteral("xx\b\b") << 10'000 << "."
                                             << "";
}

void TestClock::statistics()
{
    QFETCH(QString, typing);
    QFETCH(int, elapsedMs);
    QFETCH(QString, speed);
    QFETCH(QString, score);
    PracticeFixture f;
    f.start(QByteArray(200, 'a'));
    f.type(f.box(1), typing);
    if (elapsedMs)
        f.advanceClock(elapsedMs);
    f.form.Timer2_Timer();
    QCOMPARE(f.form.ui.lblSpeed3->caption(), speed);
    QCOMPARE(f.form.ui.lblRight2->caption(), score);
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

QTEST_MAIN(TestClock)
#include "tst_clock.moc"
