// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCoreApplication;

// Installs Qt's own Simplified Chinese translations (the file dialog's labels, the
// message boxes' buttons), whatever the locale: the whole interface is Chinese. A
// missing translation file leaves Qt's English strings and is not an error. Returns
// whether the translations were found.
bool installQtTranslations(QCoreApplication &app);
