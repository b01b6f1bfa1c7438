#include "recipients/ExtendedReal.h"

#include <bit>
#include <cstdint>

namespace pelicast {

namespace {

constexpr int ExtendedBias = 16383;
constexpr int DoubleBias = 1023;
constexpr std::uint64_t IntegerBit = std::uint64_t(1) << 63;
constexpr std::uint64_t DoubleFractionMask = (std::uint64_t(1) << 52) - 1;

ExtendedRealBytes pack(bool negative, int exponent, std::uint64_t significand)
{
    ExtendedRealBytes out{};
    for (int i = 0; i < 8; ++i)
        out[size_t(i)] = quint8(significand >> (8 * i));
    const unsigned top = unsigned(exponent) | (negative ? 0x8000u : 0u);
    out[8] = quint8(top);
    out[9] = quint8(top >> 8);
    return out;
}

double withSign(bool negative, std::uint64_t bits)
{
    return std::bit_cast<double>(bits | (negative ? IntegerBit : 0));
}

// value >> shift rounded to nearest, ties to even; shift in 1..64.
std::uint64_t shiftRoundingToEven(std::uint64_t value, int shift)
{
    if (shift == 64) {
        // Only 0 or 1 can come out; half is exactly 2^63.
        return value > IntegerBit ? 1 : 0;
    }
    const std::uint64_t kept = value >> shift;
    const std::uint64_t rest = value & ((std::uint64_t(1) << shift) - 1);
    const std::uint64_t half = std::uint64_t(1) << (shift - 1);
    return kept + ((rest > half || (rest == half && (kept & 1))) ? 1 : 0);
}

} // namespace

ExtendedRealBytes toExtendedReal(double value)
{
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    const bool negative = bits >> 63;
    const int exponent = int((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & DoubleFractionMask;

    if (exponent == 0x7FF) {
        // Infinity keeps only the integer bit; a NaN keeps its payload and quiet bit.
        return pack(negative, 0x7FFF, IntegerBit | (fraction << 11));
    }
    if (exponent == 0) {
        if (fraction == 0)
            return pack(negative, 0, 0);
        // A subnormal double is a normal extended: shift its fraction up to the integer bit.
        const int shift = std::countl_zero(fraction);
        // fraction * 2^-1074 == (fraction << shift) * 2^(exponent - bias - 63)
        return pack(negative, ExtendedBias + 63 - 1074 - shift, fraction << shift);
    }
    return pack(negative, exponent - DoubleBias + ExtendedBias, IntegerBit | (fraction << 11));
}

double fromExtendedReal(const quint8 *bytes)
{
    std::uint64_t significand = 0;
    for (int i = 7; i >= 0; --i)
        significand = (significand << 8) | bytes[i];
    const unsigned top = unsigned(bytes[8]) | (unsigned(bytes[9]) << 8);
    const bool negative = top & 0x8000u;
    const int exponent = int(top & 0x7FFF);

    if (exponent == 0x7FFF) {
        if ((significand & ~IntegerBit) == 0 && (significand & IntegerBit))
            return withSign(negative, std::uint64_t(0x7FF) << 52);
        // NaN: keep the top of the payload, always quiet.
        return withSign(negative, (std::uint64_t(0x7FF) << 52) | (std::uint64_t(1) << 51)
                                      | ((significand >> 11) & DoubleFractionMask));
    }
    if (significand == 0)
        return withSign(negative, 0);

    // value = significand * 2^scale; denormals use the exponent of the smallest normal.
    const int scale = (exponent == 0 ? 1 : exponent) - ExtendedBias - 63;
    const int width = 64 - std::countl_zero(significand);
    int leading = scale + width - 1; // exponent of the leading bit

    if (leading > DoubleBias)
        return withSign(negative, std::uint64_t(0x7FF) << 52);
    if (leading >= 1 - DoubleBias) {
        std::uint64_t mantissa = width > 53 ? shiftRoundingToEven(significand, width - 53)
                                            : significand << (53 - width);
        if (mantissa >> 53) { // rounding carried into a new bit
            mantissa >>= 1;
            ++leading;
            if (leading > DoubleBias)
                return withSign(negative, std::uint64_t(0x7FF) << 52);
        }
        return withSign(negative, (std::uint64_t(leading + DoubleBias) << 52)
                                      | (mantissa & DoubleFractionMask));
    }
    // Subnormal result, in units of 2^-1074. A carry into bit 52 yields the smallest
    // normal, whose bit pattern is that same integer.
    const int unitsShift = scale + 1074;
    if (unitsShift >= 0)
        return withSign(negative, significand << unitsShift);
    const int shift = -unitsShift;
    return withSign(negative, shift > 64 ? 0 : shiftRoundingToEven(significand, shift));
}

} // namespace pelicast
