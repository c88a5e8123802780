// SPDX-License-Identifier: GPL-3.0-or-later
#include "fuzztargets.h"

#include <cstdio>
#include <cstdlib>

void fuzzFailure(const char *condition, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: rule broken: %s\n", file, line, condition);
    std::abort();
}
