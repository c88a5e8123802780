// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Deterministic services: display patterns and numeric rules shared by both windows.

#include <QLocale>
#include <QString>
#include <QStringView>

class QDate;
class QTime;

// "yyyy - mmmm - dd-dddd": four-digit year, the locale's full month name, two-digit day
// and the locale's full weekday name.
QString formatLongDate(const QDate &date, const QLocale &locale = QLocale::system());

// "hh:mm:ss AMPM": a 12-hour clock with two-digit fields and the locale's designator.
QString formatTime12(const QTime &time, const QLocale &locale = QLocale::system());

// "hh:mm:ss" on a 24-hour clock.
QString formatTime24(const QTime &time);

// "##.##": the whole part without leading zeros (nothing when it is 0), always a point,
// then the fraction rounded to two digits with trailing zeros dropped. 45.5 gives "45.5",
// 45.678 "45.68", 60 "60.", 0.25 ".25" and 0 ".". The value is taken at the precision
// it is held in: its shortest decimal form is rounded, halves away from zero.
QString formatHashDotHash(float value);

// The value of the leading number of a text: blanks, tabs and line feeds are skipped
// anywhere, then an optional sign, digits, a "." decimal point and an exponent
// ("E" or "D"); "&H" and "&O" introduce hexadecimal and octal whole numbers. 0 when
// the text does not start with a number.
double val(QStringView text);

// Rounds to the nearest 16-bit integer, halves to even. Throws RuntimeError when the
// result does not fit.
qint16 roundToInt16(double value);
