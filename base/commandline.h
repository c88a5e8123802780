// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's command line: --help and --version answer on standard output and end
// the program before it connects to any window system; a practice file named on the
// command line (as a desktop's "open with" passes it) is pre-selected in the first
// open-file dialog.

#include <QString>
#include <QStringList>

struct CommandLine
{
    // Whether the program goes on to show its windows; otherwise it ends with exitCode.
    bool run = true;
    int exitCode = 0;
    // The practice file to pre-select, as an absolute path; empty when none was named.
    QString practiceFile;
    // What to print: on standard output when the program ends with 0, else on errors.
    QString output;
    // The answer stands whatever options the window system takes out of the command
    // line: it can be given before connecting to one.
    bool final = true;
};

// Reads the arguments, the program's name first. The application's name and version
// must be set before. Help and the version are answered whatever else is there; the
// rest is read once the window system has taken its own options out.
CommandLine parseCommandLine(const QStringList &arguments);
