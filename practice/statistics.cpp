// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics.h"

namespace {

// Speeds above this count as this much in the score.
constexpr float ScoredSpeedCap = 125;
constexpr double ScoreFactor = 0.8;
constexpr float ScoreCap = 100;

} // namespace

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
    const float scored = speed > ScoredSpeedCap ? ScoredSpeedCap : speed;
    const auto score = float(double(typedChars - errorCount) / typedChars * (scored * ScoreFactor));
    return score > ScoreCap ? ScoreCap : score;
}
