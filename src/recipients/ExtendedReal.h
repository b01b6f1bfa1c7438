#pragma once

#include <QtGlobal>

#include <array>

namespace pelicast {

// The x87 80-bit extended real as stored in database files: a 64-bit significand with an
// explicit integer bit, then 15 bits of exponent (bias 16383) and the sign, little-endian.
// Converted by plain integer arithmetic, so the result does not depend on the host's
// `long double`.
using ExtendedRealBytes = std::array<quint8, 10>;

// Exact: every double has an extended form.
ExtendedRealBytes toExtendedReal(double value);
// Rounded to the nearest double (ties to even); out of range gives an infinity, NaNs stay
// NaN. Unnormals are taken by their arithmetic value.
double fromExtendedReal(const quint8 *bytes);

} // namespace pelicast
