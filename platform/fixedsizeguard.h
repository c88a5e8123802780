// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Keeps a fixed-size window (the two windows, the message boxes) from being maximised.
// Window managers do not offer it for them, but the title bar that Qt draws itself on
// a Wayland desktop without server-side decorations (GNOME's) has a maximise button on
// every window, and a maximised main window would cover the score dialog. Such a window
// is put back as it was.
void keepUnmaximised(QWidget *window);
