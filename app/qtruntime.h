#pragma once

#include "runtime.h"

#include <QElapsedTimer>

#include <random>

// The run-time services as the real program uses them, built on Qt.
class QtRuntime final : public Runtime
{
public:
    QtRuntime();

    void msgBox(QWidget *parent, const QString &prompt, int style, const QString &title) override;
    QString showOpenDialog(QWidget *parent, const QString &presetName, const QString &filter,
        int filterIndex) override;
    QAction *popupMenu(QMenu *menu, const QPoint &globalPos) override;
    void beep() override;
    bool openInViewer(const QString &path) override;
    QDateTime now() const override;
    qint64 monotonicMs() const override;
    void randomize(double secondsSinceMidnight) override;
    double rnd() override;
    QSize screenSize() const override;
    [[noreturn]] void endProgram() override;

private:
    QElapsedTimer m_monotonic;
    std::mt19937_64 m_random;
};

// Turns a "description|pattern|description|pattern" filter into the name filters of a
// Qt file dialog. A description that already ends in its pattern in parentheses is
// shown as it is (trimmed); any other gets the pattern appended.
QStringList qtNameFilters(const QString &filter);
