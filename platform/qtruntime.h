// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runtime.h"
#include "soundbell.h"

#include <QElapsedTimer>

#include <memory>
#include <random>

class QFileDialog;

// The run-time services as the real program uses them, built on Qt.
class QtRuntime final : public Runtime
{
public:
    QtRuntime();

    void msgBox(
        QWidget *parent, const QString &prompt, MsgBoxStyle style, const QString &title) override;
    QString showOpenDialog(QWidget *parent, const QString &presetName, const QString &filter,
        int filterIndex, const QString &selectedFile) override;
    QAction *popupMenu(QMenu *menu, const QPoint &globalPos) override;
    void beep() override;
    void openInViewer(
        const QString &path, QObject *context, std::function<void(bool shown)> done) override;
    QDateTime now() const override;
    qint64 monotonicMs() const override;
    void randomize(double secondsSinceMidnight) override;
    double rnd() override;
    QSize screenSize() const override;
    [[noreturn]] void endProgram() override;

private:
    QElapsedTimer m_monotonic;
    std::mt19937_64 m_random;
    // The beep on Wayland, which has no bell of its own; null elsewhere.
    std::unique_ptr<SoundBell> m_bell;
};

// Turns a "description|pattern|description|pattern" filter into the name filters of a
// Qt file dialog, "description (pattern)", with "*.*" handed on as "*".
QStringList qtNameFilters(const QString &filter);

// Sets up an open-file dialog: the preset name's folder, the filters with only their
// descriptions shown, and the filter shown first (1-based).
void setUpOpenDialog(
    QFileDialog &dialog, const QString &presetName, const QString &filter, int filterIndex);
