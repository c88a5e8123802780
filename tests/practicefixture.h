// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakeruntime.h"
#include "testfiles.h"

#include "base/module1.h"
#include "practice/form1.h"

#include <QTemporaryDir>

class TypingBox;

// A main window wired to the run-time services double, with a folder for practice files.
struct PracticeFixture
{
    FakeRuntime runtime;
    Module1 module;
    Form1 form { runtime, module };
    QTemporaryDir dir;

    // Writes a practice file and queues it as the next answer of the open-file dialog.
    QString offer(const QByteArray &bytes, const QString &name = QStringLiteral("practice.txt"));

    // Starts the program: the dialog takes the queued answers, then is cancelled.
    void load() { form.Form_Load(); }
    // Starts the program on a practice text.
    void start(const QByteArray &text);

    TypingBox *box(int row) const { return form.ui.txtinput[row]; }
    TypingBox *currentBox() const { return box(form.state().CurRow); }
    // Types text into a box as key presses, one character per key.
    void type(QWidget *target, const QString &text);
    // Commits text into a box as an input method does, in one event.
    void commit(TypingBox *target, const QString &text);
    // Moves the monotonic clock on, then lets the practice clock tick once.
    void advanceClock(qint64 ms);

    // The captions of the three display rows.
    QStringList rows() const;
    // The row whose marker is visible, or 0.
    int visibleMarker() const;
    // The row whose typing box is unlocked, or 0.
    int unlockedBox() const;
};
