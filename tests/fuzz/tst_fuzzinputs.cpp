// SPDX-License-Identifier: GPL-3.0-or-later
// Replays every stored fuzz input (seeds, and any input that once broke a rule)
// through its target, so a fault the fuzzers found stays fixed.
#include "fuzztargets.h"

#include <QDir>
#include <QFile>
#include <QTest>

class TestFuzzInputs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void replay_data();
    void replay();
};

void TestFuzzInputs::replay_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("path");
    const QDir inputs(QStringLiteral(KEYVALE_FUZZ_INPUTS));
    for (const QString &target : inputs.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir dir(inputs.filePath(target));
        for (const QString &name : dir.entryList(QDir::Files))
            QTest::addRow("%s/%s", qPrintable(target), qPrintable(name))
                << target << dir.filePath(name);
    }
}

void TestFuzzInputs::replay()
{
    QFETCH(QString, target);
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const auto *data = reinterpret_cast<const uint8_t *>(bytes.constData());
    const size_t size = size_t(bytes.size());
    if (target == QLatin1String("practicetext"))
        QCOMPARE(fuzzPracticeText(data, size), 0);
    else if (target == QLatin1String("hashdothash"))
        QCOMPARE(fuzzHashDotHash(data, size), 0);
    else if (target == QLatin1String("val"))
        QCOMPARE(fuzzVal(data, size), 0);
    else
        QFAIL("an input folder without a fuzz target");
}

QTEST_GUILESS_MAIN(TestFuzzInputs)
#include "tst_fuzzinputs.moc"
