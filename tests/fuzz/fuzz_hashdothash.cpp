// SPDX-License-Identifier: GPL-3.0-or-later
// Any float through the "##.##" pattern, read back by the Val rule.
#include "fuzztargets.h"

#include "base/format.h"

#include <cmath>
#include <cstring>

int fuzzHashDotHash(const uint8_t *data, size_t size)
{
    if (size < sizeof(float))
        return 0;
    float value;
    std::memcpy(&value, data, sizeof value);
    const QString shown = formatHashDotHash(value);
    if (!std::isfinite(value))
        return 0;

    // One point, at most two digits after it, no trailing zero, no leading zero.
    const qsizetype point = shown.indexOf(QLatin1Char('.'));
    FUZZ_REQUIRE(point >= 0 && shown.count(QLatin1Char('.')) == 1);
    const QString fraction = shown.mid(point + 1);
    FUZZ_REQUIRE(fraction.size() <= 2 && !fraction.endsWith(QLatin1Char('0')));
    FUZZ_REQUIRE(!shown.startsWith(QLatin1Char('0')) && !shown.startsWith(QLatin1String("-0")));

    // Reading the text back gives the value to within the rounding.
    const double back = val(shown);
    FUZZ_REQUIRE(std::fabs(back - double(value)) <= 0.005 + std::fabs(double(value)) * 1e-6);
    return 0;
}

KEYVALE_FUZZ_ENTRY(fuzzHashDotHash)
