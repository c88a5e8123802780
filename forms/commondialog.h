// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;
class Runtime;

// The open-file dialog as the practice code uses it: a preset file name, a filter of
// description|pattern pairs, the filter shown first, and the file name read back.
class CommonDialog
{
public:
    QString fileName;
    QString filter;
    int filterIndex = 0;
    // A file to select as the dialog opens; the dialog clears it.
    QString selectedFile;

    // Shows the dialog modally. A cancelled dialog leaves fileName as it was.
    void showOpen(Runtime &runtime, QWidget *parent);
};
