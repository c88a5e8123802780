// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Counters have fixed widths (16 or 32 bits). Arithmetic that would leave the width
// raises a RuntimeError instead of wrapping or invoking undefined behaviour; the
// keystroke handler traps it.

#include <QtGlobal>

#include <limits>
#include <stdexcept>
#include <type_traits>

class RuntimeError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

template<typename T>
T checkedAdd(T a, T b)
{
    T result;
    if (__builtin_add_overflow(a, b, &result))
        throw RuntimeError("overflow");
    return result;
}

template<typename T>
T checkedSub(T a, T b)
{
    T result;
    if (__builtin_sub_overflow(a, b, &result))
        throw RuntimeError("overflow");
    return result;
}

// Stores a value into a narrower integer, or fails when it does not fit.
template<typename To, typename From>
To checkedNarrow(From value)
{
    static_assert(std::is_integral_v<To> && std::is_integral_v<From>);
    To result;
    if (__builtin_add_overflow(value, From(0), &result))
        throw RuntimeError("overflow");
    return result;
}
