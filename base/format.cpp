// SPDX-License-Identifier: GPL-3.0-or-later
#include "format.h"

#include "checked.h"

#include <QDate>
#include <QTime>

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

QString formatLongDate(const QDate &date, const QLocale &locale)
{
    return QStringLiteral("%1 - %2 - %3-%4")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(locale.monthName(date.month(), QLocale::LongFormat))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(locale.dayName(date.dayOfWeek(), QLocale::LongFormat));
}

QString formatTime12(const QTime &time, const QLocale &locale)
{
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    const QString designator = time.hour() < 12 ? locale.amText() : locale.pmText();
    return QStringLiteral("%1:%2:%3 %4")
        .arg(hour12, 2, 10, QLatin1Char('0'))
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.second(), 2, 10, QLatin1Char('0'))
        .arg(designator);
}

QString formatTime24(const QTime &time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

QString formatHashDotHash(float value)
{
    if (!std::isfinite(value))
        return QString::number(double(value));

    // The shortest fixed-point text that reads back as the same float, e.g. "72.34" for
    // the float nearest 72.34, so rounding sees the digits the value stands for.
    std::array<char, 64> buffer {};
    const auto result = std::to_chars(
        buffer.data(), buffer.data() + buffer.size(), std::fabs(value), std::chars_format::fixed);
    const std::string_view text(buffer.data(), size_t(result.ptr - buffer.data()));
    const size_t point = text.find('.');
    std::string whole(text.substr(0, point));
    std::string fraction
        = point == std::string_view::npos ? std::string() : std::string(text.substr(point + 1));
    fraction.resize(3, '0');

    const bool roundUp = fraction[2] >= '5';
    fraction.resize(2);
    if (roundUp) {
        // Add one unit in the second decimal place, carrying into the whole part.
        std::string digits = whole + fraction;
        int i = int(digits.size()) - 1;
        while (i >= 0 && digits[size_t(i)] == '9')
            digits[size_t(i--)] = '0';
        if (i < 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[size_t(i)];
        whole = digits.substr(0, digits.size() - 2);
        fraction = digits.substr(digits.size() - 2);
    }

    whole.erase(0, whole.find_first_not_of('0'));
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();

    QString shown = QString::fromLatin1(whole) + QLatin1Char('.') + QString::fromLatin1(fraction);
    if (std::signbit(value) && !(whole.empty() && fraction.empty()))
        shown.prepend(QLatin1Char('-'));
    return shown;
}

namespace {

bool isSkipped(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

// Reads the text with the skipped characters left out, one character at a time.
class Scanner
{
public:
    explicit Scanner(QStringView text)
        : m_text(text)
    { }
    QChar peek()
    {
        while (m_pos < m_text.size() && isSkipped(m_text[m_pos]))
            ++m_pos;
        return m_pos < m_text.size() ? m_text[m_pos] : QChar();
    }
    void next() { ++m_pos; }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

double wholeNumberInBase(Scanner &in, int base)
{
    double value = 0;
    for (;;) {
        const QChar c = in.peek();
        int d = -1;
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            d = c.unicode() - '0';
        else if (base == 16 && c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'))
            d = c.toLower().unicode() - 'a' + 10;
        if (d < 0 || d >= base)
            return value;
        value = value * base + d;
        in.next();
    }
}

} // namespace

double val(QStringView text)
{
    Scanner in(text);
    if (in.peek() == QLatin1Char('&')) {
        in.next();
        const QChar kind = in.peek().toUpper();
        if (kind == QLatin1Char('H')) {
            in.next();
            return wholeNumberInBase(in, 16);
        }
        if (kind == QLatin1Char('O')) {
            in.next();
            return wholeNumberInBase(in, 8);
        }
        return 0;
    }

    // Collect the number's characters in C notation, then let the standard library
    // convert them exactly.
    std::string number;
    const auto takeDigits = [&in, &number] {
        bool any = false;
        while (in.peek() >= QLatin1Char('0') && in.peek() <= QLatin1Char('9')) {
            number += char(in.peek().unicode());
            in.next();
            any = true;
        }
        return any;
    };

    if (in.peek() == QLatin1Char('+') || in.peek() == QLatin1Char('-')) {
        number += char(in.peek().unicode());
        in.next();
    }
    bool digits = takeDigits();
    if (in.peek() == QLatin1Char('.')) {
        number += '.';
        in.next();
        digits = takeDigits() || digits;
    }
    if (!digits)
        return 0;
    const QChar e = in.peek().toUpper();
    if (e == QLatin1Char('E') || e == QLatin1Char('D')) {
        std::string exponent = "e";
        in.next();
        if (in.peek() == QLatin1Char('+') || in.peek() == QLatin1Char('-')) {
            exponent += char(in.peek().unicode());
            in.next();
        }
        const size_t before = number.size();
        number += exponent;
        if (!takeDigits())
            number.resize(before);
    }

    const char *begin = number.c_str();
    if (*begin == '+')
        ++begin;
    double value = 0;
    const auto result = std::from_chars(begin, number.c_str() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large or too small to hold: the nearest value that can be held.
        const bool negative = *begin == '-';
        const bool tiny = number.find("e-") != std::string::npos;
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
        if (negative)
            value = -value;
    }
    return value;
}

qint16 roundToInt16(double value)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<qint16>::min()
            && rounded <= std::numeric_limits<qint16>::max()))
        throw RuntimeError("overflow");
    return qint16(rounded);
}
