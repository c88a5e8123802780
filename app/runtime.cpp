#include "runtime.h"

double Runtime::secondsSinceMidnight() const
{
    return now().time().msecsSinceStartOfDay() / 1000.0;
}
