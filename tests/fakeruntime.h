// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/runtime.h"

#include <QApplication>
#include <QList>
#include <QPoint>
#include <QQueue>
#include <QStringList>

#include <functional>

// The end of the program as the double plays it: thrown by endProgram(), so that, as in
// the real program, nothing after it runs.
struct ProgramEnded
{
};

// The tests' application: an end of the program in the handler of an event stops that
// handler, and the test goes on.
class EndingApplication final : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override;
};

// The main of a test of the windows, with an EndingApplication.
#define KEYVALE_TEST_MAIN(TestObject)                                                              \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        EndingApplication app(argc, argv);                                                         \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

// A run-time services double: it answers the open-file dialog from a queue, records
// messages, beeps, opened files and ends of the program, and keeps a clock that moves
// only when a test moves it.
class FakeRuntime final : public Runtime
{
public:
    struct Message
    {
        QString prompt;
        MsgBoxStyle style;
        QString title; // as shown: the application's title when none was given
    };
    struct DialogCall
    {
        QString presetName;
        QString filter;
        int filterIndex;
        QString selectedFile;
    };

    // Answers for the next open-file dialogs, in order; a dialog with no answer left
    // is cancelled. Use cancelAnswer() to cancel one on purpose.
    QQueue<QString> openAnswers;
    static QString cancelAnswer() { return QStringLiteral("<cancel>"); }

    QList<Message> messages;
    QList<DialogCall> dialogs;
    // More dialogs than this throw, failing the test instead of looping for ever.
    int maxDialogs = 100;
    QStringList opened;
    // Pop-up menus shown, and the item to choose in the next ones (none: dismissed).
    QList<QPoint> popups;
    QQueue<QAction *> menuChoices;
    int beeps = 0;
    int endCalls = 0;
    bool viewerStarts = true;

    QDateTime clock = QDateTime(QDate(2026, 12, 6), QTime(14, 5, 9));
    qint64 monotonic = 1'000'000;
    QSize screen = QSize(1280, 1024);
    QQueue<double> randomDraws;
    QList<double> seeds;

    // Called inside msgBox, with the message already recorded: lets a test act while a
    // modal message would be open.
    std::function<void(const Message &)> onMessage;
    // Called inside showOpenDialog before it answers: lets a test run a nested event
    // loop where the real dialog would run one.
    std::function<void()> onOpenDialog;

    void msgBox(
        QWidget *parent, const QString &prompt, MsgBoxStyle style, const QString &title) override;
    QString showOpenDialog(QWidget *parent, const QString &presetName, const QString &filter,
        int filterIndex, const QString &selectedFile) override;
    QAction *popupMenu(QMenu *menu, const QPoint &globalPos) override;
    void beep() override { ++beeps; }
    void openInViewer(
        const QString &path, QObject *context, std::function<void(bool shown)> done) override;
    QDateTime now() const override { return clock; }
    qint64 monotonicMs() const override { return monotonic; }
    void randomize(double secondsSinceMidnight) override { seeds.append(secondsSinceMidnight); }
    double rnd() override { return randomDraws.isEmpty() ? 0.0 : randomDraws.dequeue(); }
    QSize screenSize() const override { return screen; }
    [[noreturn]] void endProgram() override;
};
