// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics.h"

std::optional<float> typingSpeed(qint32 typedChars, qint16 minutes, qint16 seconds)
{
    if (minutes <= 0 && seconds <= 0)
        return std::nullopt;
    return float(typedChars / (seconds / 60.0 + minutes));
}

std::optional<float> typingScore(qint32 typedChars, qint32 errorCount, float speed)
{
    if (typedChars == 0 || typedChars < errorCount)
        return std::nullopt;
    const float scoredSpeed = speed > 125 ? 125 : speed;
    const auto score = float(double(typedChars - errorCount) / typedChars * (scoredSpeed * 0.8));
    return score > 100 ? 100 : score;
}
