// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// Keeps the program's fixed-size windows (the two windows and the message boxes) from
// being maximised. Window managers do not offer it for them, but the title bar that Qt
// draws itself on a Wayland desktop without server-side decorations (GNOME's) has a
// maximise button on every window, and a maximised main window would cover the score
// dialog. Installed on the application, it puts such a window back as it was.
class FixedSizeGuard final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FixedSizeGuard)
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
