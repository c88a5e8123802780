// SPDX-License-Identifier: GPL-3.0-or-later
#include "awards.h"

#include "base/format.h"

#include <cmath>

Awards awardsFor(float score, float speed, qint32 errorCount, qint32 totalChars)
{
    Awards awards;
    float n = float(std::floor(score / 100.0 * (speed / 10.0)));
    // The frame depends on the count alone, before any cap or the score test.
    awards.frameShown = n > 1;
    if (!(score > 50))
        return awards;

    if (n > 10 && n < 14)
        n = 11;
    if (n > 13 && n < 18)
        n = 12;
    if (n > 17 && n < 23)
        n = 13;
    if (n > 22)
        n = 14;

    // More than half the text's characters mistyped earns nothing. Without a text
    // there is no share to take: no errors count as none, any error as too many.
    const bool tooManyErrors
        = totalChars != 0 ? double(errorCount) / totalChars > 0.5 : errorCount != 0;
    if (tooManyErrors)
        n = 0;

    awards.cells = std::max(0, int(roundToInt16(n)));
    return awards;
}

int awardPicture(float u)
{
    return roundToInt16(u * 13.0f + 1.0f);
}
