// SPDX-License-Identifier: GPL-3.0-or-later
// Any text through the Val rule.
#include "fuzztargets.h"

#include "base/format.h"

#include <cmath>

int fuzzVal(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const double value = val(text);
    FUZZ_REQUIRE(!std::isnan(value));

    // Blanks anywhere do not change the number, and a text that starts with no
    // number reads as 0.
    QString spaced = text;
    spaced.replace(QLatin1Char('.'), QLatin1String(" ."));
    const double again = val(spaced);
    FUZZ_REQUIRE(again == value || (std::isinf(again) && std::isinf(value)));
    if (!text.isEmpty() && text.front().isLetter() && text.front() != QLatin1Char('&'))
        FUZZ_REQUIRE(value == 0);
    return 0;
}

KEYVALE_FUZZ_ENTRY(fuzzVal)
