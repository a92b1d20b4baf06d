#pragma once

#include <cstdint>

namespace kelvane {

// Log field conversion. A field is a number only if, after leading spaces, its first byte
// is a digit or (in a longer field) "+", "-" or "."; every later byte is a digit or the
// file's decimal separator, at most one of those. Anything else reads as 0.
double ReadLogNumber(const char* first, const char* last, char separator);
// True when the field holds a number under that rule (an empty field holds none).
bool IsLogNumber(const char* first, const char* last, char separator);

// Integer columns: leading blanks, an optional sign and digits, nothing else ("2.0" reads 0).
std::int32_t ReadLogInteger(const char* first, const char* last);

inline bool IsLogFieldEnd(char c) {
    return c == '\t' || c == '\r' || c == '\n';
}

// Position of the TAB, CR or LF (or the end) that ends the field starting at p.
inline const char* SkipLogField(const char* p, const char* end) {
    while (p < end && !IsLogFieldEnd(*p)) ++p;
    return p;
}

// The general case of ReadLogNumberField: signs, long fields, anything odd.
const char* ReadLogNumberFieldSlow(const char* p, const char* end, char separator, double& value);

inline constexpr double ExactPowersOfTen[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// Reads the field that starts at p (under the rule of ReadLogNumber) and returns where it
// ends. Most log fields are short unsigned decimals: with at most 15 digits both the
// digits and the power of ten are exact doubles, so one division gives the correctly
// rounded value, the same double from_chars returns. Everything else goes the slow way.
inline const char* ReadLogNumberField(const char* p, const char* end, char separator, double& value) {
    const bool negative = p < end && *p == '-';
    const char* const digitsStart = p + (negative ? 1 : 0);
    const char* t = digitsStart;
    std::uint64_t mantissa = 0;
    for (; t < end && static_cast<unsigned>(*t - '0') <= 9; ++t)
        mantissa = mantissa * 10 + static_cast<unsigned>(*t - '0');
    std::ptrdiff_t digits = t - digitsStart;
    std::ptrdiff_t fraction = 0;
    if (digits > 0 && t < end && *t == separator) {
        const char* f = ++t;
        for (; t < end && static_cast<unsigned>(*t - '0') <= 9; ++t)
            mantissa = mantissa * 10 + static_cast<unsigned>(*t - '0');
        fraction = t - f;
        digits += fraction;
    }
    if (digits > 0 && digits <= 15 && (t == end || IsLogFieldEnd(*t))) {
        // Whole numbers (RPM, MAF signal) need no division.
        const double magnitude = fraction == 0 ? static_cast<double>(mantissa)
                                               : static_cast<double>(mantissa) / ExactPowersOfTen[fraction];
        value = negative ? -magnitude : magnitude;
        return t;
    }
    return ReadLogNumberFieldSlow(p, end, separator, value);
}

// The general case of ReadLogIntegerField.
const char* ReadLogIntegerFieldSlow(const char* p, const char* end, std::int32_t& value);

// Reads an integer field that starts at p and returns where it ends. Plain short digit
// runs, the usual case, are read here; everything else goes through from_chars.
inline const char* ReadLogIntegerField(const char* p, const char* end, std::int32_t& value) {
    const char* t = p;
    std::int32_t number = 0;
    for (; t < end && t - p < 9 && static_cast<unsigned>(*t - '0') <= 9; ++t)
        number = number * 10 + (*t - '0');
    if (t > p && (t == end || IsLogFieldEnd(*t))) {
        value = number;
        return t;
    }
    return ReadLogIntegerFieldSlow(p, end, value);
}

}  // namespace kelvane
