// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

// The program-wide values shared by the main window and the score dialog.
struct Module1
{
    // Characters of the stored practice text: the sum of the stored lines' lengths.
    qint32 TotalChars = 0;
    // Wrong keystrokes of the current practice.
    qint32 ErrorCount = 0;
    // The working directory at start-up.
    QString AppPath;
};

// The score report, by its bare name: Save writes it in the working directory of the
// moment, and both windows open it.
inline QString reportFileName()
{
    return QStringLiteral("成绩单.htm");
}

// Flags hold -1 for true and 0 for false.
using VbBool = qint16;
inline constexpr VbBool VbTrue = -1;
inline constexpr VbBool VbFalse = 0;
