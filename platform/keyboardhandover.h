// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

#include <memory>

class QWindow;

Q_DECLARE_LOGGING_CATEGORY(lcHandOver)

// Gives the keyboard to a window of the program right after the learner gave it to
// another, one that must not keep it: the disabled main window, clicked while the score
// dialog is open.
//
// On X11 the window asks for the keyboard itself. A Wayland client may activate one of
// its windows only with a token from the compositor, which Qt 6.4 does not ask for on
// its behalf: here the token is asked for with the window the learner clicked and the
// serial of the click (the press, which compositors check, not the release that Qt
// keeps), and the other window is activated with it. Nothing is hidden or shown anew,
// so the window stays where the learner put it. An object watches the learner's clicks
// for as long as it lives: make it before the clicks it is to answer.
class KeyboardHandOver final
{
public:
    KeyboardHandOver();
    ~KeyboardHandOver();
    Q_DISABLE_COPY_MOVE(KeyboardHandOver)

    // Gives to the keyboard that from has just been given. False on a Wayland compositor
    // without the activation protocol.
    bool handOver(QWindow *from, QWindow *to);

private:
    class Wayland;
    std::unique_ptr<Wayland> m_wayland;
};
