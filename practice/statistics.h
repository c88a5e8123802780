// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The statistics of a practice on a text, as plain functions of its counters.

#include <QtGlobal>

#include <optional>

// Characters per minute over the practice clock's minutes and seconds (its tenths take
// no part); none while the clock reads zero.
std::optional<float> typingSpeed(qint32 typedChars, qint16 minutes, qint16 seconds);

// The accuracy times the speed, counted up to 125 and weighted by 0.8, and at most 100;
// none when nothing was typed or the errors outnumber the keys.
std::optional<float> typingScore(qint32 typedChars, qint32 errorCount, float speed);
