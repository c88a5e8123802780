// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime.h"

double Runtime::secondsSinceMidnight() const
{
    return now().time().msecsSinceStartOfDay() / 1000.0;
}
