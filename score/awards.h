// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// The award pictures a result earns.
struct Awards
{
    // The picture frame is shown.
    bool frameShown = false;
    // How many cells show the chosen picture (0 for none).
    int cells = 0;
};

// Speed and score as read back from their labels, the error count and the number of
// characters in the text. Throws RuntimeError if the count does not fit 16 bits.
Awards awardsFor(float score, float speed, qint32 errorCount, qint32 totalChars);

// The chosen picture, 1 to 14, from a uniform draw u in [0, 1): the two end pictures
// are half as likely as the others.
int awardPicture(float u);
