// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

class QWidget;

// Ends a window that is done with: hides it at once and destroys it later. On Wayland,
// Qt 6.4 destroys a window's frame callback without waiting for its event thread, which
// may be delivering that callback at the same moment: a window destroyed just as it is
// hidden can take the program down with it. Hidden, a window gets no more callbacks, so
// one destroyed a moment later is safe.
void retireWindow(QWidget *window);

struct RetireWindow
{
    void operator()(QWidget *window) const { retireWindow(window); }
};

// A window made for one use, retired when it goes out of scope.
template<typename Window>
using OneUseWindow = std::unique_ptr<Window, RetireWindow>;
