// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Fuzz targets: each takes any bytes and aborts if the code under test breaks one of
// its rules. libFuzzer drives them (build with -DKEYVALE_FUZZ=ON, see scripts/fuzz.sh);
// tst_fuzzinputs replays the stored inputs, crash inputs among them, as a regular test.

#include <cstddef>
#include <cstdint>

int fuzzPracticeText(const uint8_t *data, size_t size);
int fuzzHashDotHash(const uint8_t *data, size_t size);
int fuzzVal(const uint8_t *data, size_t size);

// Exported to libFuzzer as LLVMFuzzerTestOneInput by the file that defines the target
// when it is built for fuzzing.
#ifdef KEYVALE_LIBFUZZER
#define KEYVALE_FUZZ_ENTRY(target)                                                                 \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)                        \
    {                                                                                              \
        return target(data, size);                                                                 \
    }
#else
#define KEYVALE_FUZZ_ENTRY(target)
#endif

// Stops the fuzzer (or the replaying test) when a rule is broken.
#define FUZZ_REQUIRE(condition)                                                                    \
    do {                                                                                           \
        if (!(condition))                                                                          \
            fuzzFailure(#condition, __FILE__, __LINE__);                                           \
    } while (false)

[[noreturn]] void fuzzFailure(const char *condition, const char *file, int line);
