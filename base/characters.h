// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Characters as the learner sees them: one Unicode code point each, so a character
// outside the Basic Multilingual Plane (a surrogate pair in a QString) counts once.
// Positions are 1-based, as the practice counters hold them.

#include <QString>
#include <QStringView>

// The number of characters in a text; a surrogate without its partner counts as one.
qsizetype characterCount(QStringView text);

// The character at a 1-based position, or an empty string past the end.
QString characterAt(QStringView text, qsizetype position);

// Replaces every surrogate that lacks its partner with U+FFFD.
void replaceLoneSurrogates(QString &text);
