// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of one keystroke through the practice window, against the same keys typed
// into a bare QLineEdit, measured alternately in one run.
//
// Each keystroke is a key press and release sent to the focused box, followed by the
// events they post (repaints included), so the figure covers the whole widget path:
// counting and comparing, the statistics labels, AdvanceRow at every row end and
// ReadString at every block.
//
// Usage: keystroke_bench [rounds]   (times the text is typed through, default 12)

#include "fakeruntime.h"
#include "testfiles.h"

#include "base/module1.h"
#include "practice/form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int DefaultRounds = 12;
constexpr int Lines = 50;
constexpr int LineLength = 40;

qint64 typeOne(QWidget *target, QChar c)
{
    QElapsedTimer timer;
    timer.start();
    const int key = c.toUpper().unicode();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(target, &release);
    QCoreApplication::processEvents();
    return timer.nsecsElapsed();
}

// The two sides in functions of their own, so that a profiler tells them apart:
// valgrind --tool=callgrind --toggle-collect='*typeIntoPractice*' keystroke_bench 1
[[gnu::noinline]] qint64 typeIntoPractice(Form1 &form, QChar c)
{
    return typeOne(form.ui.txtinput[form.state().CurRow], c);
}

[[gnu::noinline]] qint64 typeIntoBare(QLineEdit *bare, QChar c)
{
    return typeOne(bare, c);
}

struct Summary
{
    double median;
    double p99;
};

Summary summarise(std::vector<qint64> samples)
{
    std::sort(samples.begin(), samples.end());
    const auto at = [&samples](double q) {
        return double(samples[size_t(q * double(samples.size() - 1))]) / 1000.0;
    };
    return { at(0.5), at(0.99) };
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : DefaultRounds;

    QTemporaryDir dir;
    QByteArray text;
    QStringList lines;
    for (int i = 0; i < Lines; ++i) {
        QString line;
        for (int j = 0; j < LineLength; ++j)
            line += QChar(u'a' + (i * 7 + j * 3) % 26);
        lines.append(line);
        text += line.toLatin1() + "\r\n";
    }
    const QString path = writeFile(dir, QStringLiteral("bench.txt"), text);

    FakeRuntime runtime;
    Module1 module;
    Form1 form(runtime, module);
    runtime.openAnswers.enqueue(path);
    form.Form_Load();

    QWidget bareWindow;
    auto *bare = new QLineEdit(&bareWindow);
    QFont font = form.ui.txtinput[1]->font();
    bare->setFont(font);
    bare->setGeometry(form.ui.txtinput[1]->geometry());
    bareWindow.resize(form.size());
    bareWindow.show();

    std::vector<qint64> ours;
    std::vector<qint64> floor;
    for (int round = 0; round < rounds; ++round) {
        if (round > 0) {
            // A finished practice leaves the window disabled; start the text again.
            form.setEnabled(true);
            runtime.openAnswers.enqueue(path);
            form.menuOpen_Click();
        }
        for (const QString &line : std::as_const(lines)) {
            for (QChar c : line)
                ours.push_back(typeIntoPractice(form, c));
            for (QChar c : line)
                floor.push_back(typeIntoBare(bare, c));
            bare->clear();
        }
        if (form.isEnabled() || runtime.beeps != 0) {
            std::fprintf(stderr, "keystroke_bench: the practice did not run to its end cleanly\n");
            return 1;
        }
    }

    const Summary a = summarise(ours);
    const Summary b = summarise(floor);
    std::printf("keystrokes per side: %zu (%d rounds of %d lines x %d characters)\n", ours.size(),
        rounds, Lines, LineLength);
    std::printf("%-22s %10s %10s\n", "", "median us", "p99 us");
    std::printf("%-22s %10.1f %10.1f\n", "practice window", a.median, a.p99);
    std::printf("%-22s %10.1f %10.1f\n", "bare QLineEdit", b.median, b.p99);
    std::printf("%-22s %10.2f %10.2f   (targets: 2.00 and 3.00)\n", "ratio", a.median / b.median,
        a.p99 / b.p99);
    return 0;
}
