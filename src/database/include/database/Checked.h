#pragma once
// Checked arithmetic on amounts, fees and counts: a result outside the type's width is a run-time
// error (an overflow Failure), never a silent wrap.

#include <QString>
#include <concepts>
#include <cstdint>
#include <limits>

#include "database/Failure.h"

namespace kiv::database {

template <std::integral T>
T checkedAdd(T a, T b, const char* what = "sum") {
    T r;
    if (__builtin_add_overflow(a, b, &r)) {
        failOverflow(QString::fromUtf8(what));
    }
    return r;
}

template <std::integral T>
T checkedSub(T a, T b, const char* what = "difference") {
    T r;
    if (__builtin_sub_overflow(a, b, &r)) {
        failOverflow(QString::fromUtf8(what));
    }
    return r;
}

template <std::integral T>
T checkedMul(T a, T b, const char* what = "product") {
    T r;
    if (__builtin_mul_overflow(a, b, &r)) {
        failOverflow(QString::fromUtf8(what));
    }
    return r;
}

// Narrows a wider integer to T, or fails as an overflow.
template <std::integral T, std::integral From>
T narrow(From v, const char* what = "value") {
    if (!std::in_range<T>(v)) {
        failOverflow(QString::fromUtf8(what));
    }
    return static_cast<T>(v);
}

}  // namespace kiv::database
