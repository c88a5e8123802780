// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The run-time services layer.
//
// Everything the two windows need from the world outside their own controls goes
// through one small interface: message boxes, the open-file dialog, pop-up menus, the beep,
// opening a file in the desktop's default viewer, the clock and the date, random
// numbers, the screen size and ending the program. QtRuntime provides them with
// Qt; the tests use a double that answers dialogs and records what was shown.
//
// Deterministic services (pattern formatting, the numeric rules, practice text
// decoding, report writing) are plain functions in format.h, practicetext.h and
// the score writer: they need no double.

#include <QDateTime>
#include <QSize>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class QObject;
class QPoint;
class QWidget;

// Message box styles, by their design values: an OK button with no icon, with a critical
// icon or with an exclamation icon.
enum class MsgBoxStyle { Plain = 0, Critical = 16, Exclamation = 48 };

// The title shown by a message box that has no title of its own.
inline QString applicationTitle()
{
    return QStringLiteral("Keyvale");
}

class Runtime
{
public:
    virtual ~Runtime() = default;

    // Modal message box with an OK button; an empty title shows the application's title.
    virtual void msgBox(
        QWidget *parent, const QString &prompt, MsgBoxStyle style, const QString &title)
        = 0;

    // Modal open-file dialog. The preset name is a folder followed by a wildcard pattern;
    // the filter lists description|pattern pairs separated by "|", and filterIndex (1-based)
    // chooses the one shown first; selectedFile, when not empty, is selected as the dialog
    // opens. Returns the chosen file's full path, or the preset name unchanged when the
    // learner cancels.
    virtual QString showOpenDialog(QWidget *parent, const QString &presetName,
        const QString &filter, int filterIndex, const QString &selectedFile)
        = 0;

    // Shows a pop-up menu at a point of the screen and waits until it closes; the chosen
    // item has been triggered by then. Returns the chosen item, or null.
    virtual QAction *popupMenu(QMenu *menu, const QPoint &globalPos) = 0;

    // The system sound, without waiting.
    virtual void beep() = 0;

    // Opens a local file in the desktop's default viewer without waiting for it. Later,
    // once the desktop's opener has answered, done receives whether it could show the
    // file, unless context has gone by then.
    virtual void openInViewer(
        const QString &path, QObject *context, std::function<void(bool shown)> done)
        = 0;

    // Local date and time of day.
    virtual QDateTime now() const = 0;

    // Milliseconds of a clock that never goes backwards; its origin is arbitrary.
    virtual qint64 monotonicMs() const = 0;

    // Seeds the random generator from a number of seconds since midnight.
    virtual void randomize(double secondsSinceMidnight) = 0;
    // A uniform draw in [0, 1).
    virtual double rnd() = 0;

    // Size of the screen the main window appears on, in logical pixels.
    virtual QSize screenSize() const = 0;

    // Ends the program at once: no window's closing handler runs, and nothing after the
    // call (the test double throws).
    [[noreturn]] virtual void endProgram() = 0;
};
