// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QObject;

// Runs work later in this turn of the event loop, once the windows have painted what the
// event being handled changes. Nothing runs if context is destroyed first.
void runAfterRepaint(QObject *context, std::function<void()> work);
