// SPDX-License-Identifier: GPL-3.0-or-later
// A long, seeded random stream of everything a learner and the clock can do to the
// main window and its score dialog, checking after every event that the practice
// state holds together and that every save appends exactly one whole entry.

#include "practicefixture.h"

#include "score/dlgscore.h"
#include "score/report.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QToolButton>

#include <cmath>
#include <limits>
#include <random>

namespace {

constexpr int Events = 100'000;
constexpr unsigned Seed = 20261207;

class Soak
{
public:
    Soak()
        : m_random(Seed)
    {
        makeFiles();
    }

    void run();

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    bool chance(double p) { return std::bernoulli_distribution(p)(m_random); }

    void makeFiles();
    void topUpAnswers();
    QString someText(int maxLength);
    QChar nextRightCharacter();
    void step();
    void handleScoreDialog();
    void checkInvariants();

    PracticeFixture f;
    std::mt19937 m_random;
    QStringList m_answers;
    qint64 m_saves = 0;
    qint64 m_dialogs = 0;
    qint64 m_failures = 0;
};

void Soak::makeFiles()
{
    const QDir dir(f.dir.path());
    for (int i = 0; i < 8; ++i) {
        QByteArray bytes;
        const int lines = 1 + pick(i < 4 ? 4 : 60);
        for (int n = 0; n < lines; ++n)
            bytes += someText(30).toUtf8() + (chance(0.5) ? "\r\n" : "\r");
        m_answers << f.dir.filePath(QStringLiteral("text%1.txt").arg(i));
        writeFile(f.dir, QStringLiteral("text%1.txt").arg(i), bytes);
    }
    m_answers << writeFile(
        f.dir, QStringLiteral("gbk.txt"), gbk(QStringLiteral("春眠不觉晓\r\n处处闻啼鸟\r\n")));
    m_answers << writeFile(f.dir, QStringLiteral("empty.txt"), QByteArray());
    m_answers << writeFile(f.dir, QStringLiteral("long.txt"), QByteArray(40'000, 'l'));
    m_answers << writeFile(f.dir, QStringLiteral("bad.txt"), QByteArray("\x80\xff\xfe\r\n\x81"));
    m_answers << writeFile(f.dir, QStringLiteral("lf.txt"), QByteArray("one\ntwo\nthree"));
    m_answers << dir.filePath(QStringLiteral("missing.txt"));
    m_answers << FakeRuntime::cancelAnswer();
}

void Soak::topUpAnswers()
{
    while (f.runtime.openAnswers.size() < 3)
        f.runtime.openAnswers.enqueue(m_answers.at(pick(int(m_answers.size()))));
}

QString Soak::someText(int maxLength)
{
    static const QString alphabet = QStringLiteral("abcxyzABC 123.,;春眠晓\t");
    QString text;
    const int length = pick(maxLength + 1);
    for (int i = 0; i < length; ++i)
        text += alphabet.at(pick(int(alphabet.size())));
    return text;
}

QChar Soak::nextRightCharacter()
{
    const PracticeState &s = f.form.state();
    if (s.CurRow < 1 || s.CurRow > 3)
        return QLatin1Char('a');
    const QString row = f.form.ui.lblShow[s.CurRow]->caption();
    const qsizetype at = f.box(s.CurRow)->text().size();
    return at < row.size() ? row.at(at) : QLatin1Char('a');
}

void Soak::step()
{
    topUpAnswers();
    if (!f.form.isEnabled()) {
        handleScoreDialog();
        return;
    }
    const PracticeState &s = f.form.state();
    TypingBox *target
        = f.box(s.CurRow >= 1 && s.CurRow <= 3 && chance(0.97) ? s.CurRow : 1 + pick(3));

    const int kind = pick(100);
    if (kind < 55) {
        // Mostly the right key, so that practices run to their end.
        const QChar c
            = chance(0.85) ? nextRightCharacter() : someText(1).append(QLatin1Char('q')).front();
        f.type(target, QString(c));
    } else if (kind < 62) {
        f.type(target, QStringLiteral("\b"));
    } else if (kind < 64) {
        f.type(target, chance(0.5) ? QStringLiteral("\r") : QStringLiteral("\x1b"));
    } else if (kind < 70) {
        QString phrase;
        for (int i = 1 + pick(4); i > 0; --i)
            phrase += chance(0.8) ? nextRightCharacter() : QChar(u'鸟');
        f.commit(target, phrase);
        QCoreApplication::sendPostedEvents(); // a failure waits for the commit to end
    } else if (kind < 72) {
        target->insert(someText(5)); // a paste: no key events
    } else if (kind < 74) {
        f.form.menuPause_Click();
    } else if (kind < 77) {
        f.form.menuContinue_Click();
    } else if (kind < 78) {
        f.form.menuOpen_Click();
    } else {
        f.runtime.monotonic += pick(2500);
        f.form.Timer1_Timer();
        if (chance(0.3))
            f.form.Timer2_Timer();
    }
}

void Soak::handleScoreDialog()
{
    dlgScore *dialog = f.form.scoreDialog();
    QVERIFY(dialog && dialog->isVisible());
    ++m_dialogs;

    QFile report(reportFileName());
    const qint64 before = report.exists() ? report.size() : 0;
    const int presses = pick(3);
    for (int i = 0; i < presses; ++i) {
        if (chance(0.5))
            dialog->ui.cmdSave->click();
        else
            f.type(dialog->ui.txtResult, QStringLiteral("\r"));
    }
    if (presses > 0) {
        ++m_saves;
        QVERIFY(dialog->isSaved());
        QFile appended(reportFileName());
        QVERIFY(appended.open(QIODevice::ReadOnly));
        QVERIFY(appended.seek(before));
        QByteArray entry = appended.readAll();
        if (before == 0) { // a new report starts with its charset line
            QVERIFY(entry.startsWith(reportHeaderBytes()));
            entry.remove(0, reportHeaderBytes().size());
        }
        QCOMPARE(entry.count("\r\n"), 13);
        QVERIFY(entry.startsWith("<p><font color =0000FF face =arial >\r\n"));
        QVERIFY(entry.endsWith("</p>\r\n\r\n"));
    } else {
        QCOMPARE(report.exists() ? report.size() : 0, before);
    }

    if (chance(0.5))
        dialog->ui.cmdOK->click();
    else
        dialog->close();
    QCoreApplication::sendPostedEvents(); // the new practice starts
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void Soak::checkInvariants()
{
    const PracticeState &s = f.form.state();
    QVERIFY(s.CharPos >= 1);
    QVERIFY(s.TypedChars >= 0);
    QVERIFY(f.module.ErrorCount >= 0);
    if (!f.form.isEnabled()) {
        QVERIFY(f.form.scoreDialog());
        QVERIFY(!f.form.ui.Timer1->isEnabled() && !f.form.ui.Timer2->isEnabled());
        return;
    }
    const int unlocked = f.unlockedBox();
    QVERIFY2(unlocked >= 0, "more than one typing box is unlocked");
    if (unlocked != 0) {
        QVERIFY(s.CurRow >= 1 && s.CurRow <= 3);
        QCOMPARE(unlocked, int(s.CurRow));
    }
    if (!s.FreeInput) {
        // A practice past its error threshold has been restarted.
        QVERIFY(f.module.ErrorCount <= std::floor(f.module.TotalChars * 0.33));
    }
}

void Soak::run()
{
    // Failures are answered at once and counted; restarts take the queued answers.
    f.runtime.onMessage = [this](const FakeRuntime::Message &message) {
        if (message.prompt == QStringLiteral("任务失败！！"))
            ++m_failures;
        topUpAnswers();
    };
    f.runtime.maxDialogs = std::numeric_limits<int>::max();
    topUpAnswers();
    f.load();
    for (int i = 0; i < Events; ++i) {
        step();
        if (QTest::currentTestFailed())
            return;
        checkInvariants();
        if (QTest::currentTestFailed()) {
            qWarning("invariant broken after event %d", i);
            return;
        }
    }
    qInfo("%d events: %lld score dialogs, %lld saves, %lld failed practices, %d beeps", Events,
        m_dialogs, m_saves, m_failures, f.runtime.beeps);
    QVERIFY(m_dialogs > 10);
    QVERIFY(m_saves > 5);
    QVERIFY(m_failures > 0);
    QCOMPARE(f.runtime.endCalls, 0);
    // Every dismissed score dialog, and its pictures, has been freed.
    int live = 0;
    for (QWidget *window : QApplication::topLevelWidgets())
        live += qobject_cast<dlgScore *>(window) != nullptr;
    QVERIFY2(live <= 1, qPrintable(QString::number(live)));
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void randomStream();
};

void TestSoak::randomStream()
{
    Soak soak;
    QTemporaryDir folder;
    WorkingDirectory wd(folder.path());
    soak.run();
}

KEYVALE_TEST_MAIN(TestSoak)
#include "tst_soak.moc"
