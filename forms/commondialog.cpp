// SPDX-License-Identifier: GPL-3.0-or-later
#include "commondialog.h"

#include "app/runtime.h"

void CommonDialog::showOpen(Runtime &runtime, QWidget *parent)
{
    fileName = runtime.showOpenDialog(parent, fileName, filter, filterIndex, selectedFile);
    selectedFile.clear();
}
