#include "core/maps/BinLHRpmAxis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace kelvane {

namespace {

constexpr int Missing = -1;

// Mantissa tables of the two period encodings; Missing entries borrow a
// neighbour (the lower one for TA, the upper one for TB).
constexpr std::array<int, 32> TA = {0,  1,       Missing, 2,  3,  4,  Missing, 5,  6,  7,  8,
                                    9,  Missing, 10,      11, 12, 13, 14,      15, 16, 17, 18,
                                    20, 21,      22,      23, 24, 26, 27,      28, 29, 31};
constexpr std::array<int, 32> TB = {0,  1,       Missing, 2,  3,  4,  Missing, 5,  6,  7,  8,
                                    9,  Missing, 10,      11, 12, 13, 14,      15, 16, 17, 18,
                                    19, 21,      22,      23, 24, 25, 27,      28, 29, 30};

constexpr int NoPeriodRpm = 20000;
constexpr long double TickSeconds = 0.000002L;

// 60 / (period in ticks * tick * 2), truncated toward zero.
std::int64_t RpmOfPeriod(std::int64_t period) {
    const long double rpm = 60.0L / (static_cast<long double>(period) * TickSeconds * 2.0L);
    return static_cast<std::int64_t>(std::trunc(rpm));
}

std::int64_t SpeedA(int s) {
    const int c = s > 0 ? s - 1 : 0;
    if (c < 1) return NoPeriodRpm;
    const int e = c / 32;
    const int m = c % 32;
    const int t = TA[m] != Missing ? TA[m] : TA[m - 1];
    const std::int64_t period =
        (std::int64_t{1} << (e + 10)) | (std::int64_t{t} << (e + 5)) | ((std::int64_t{1} << (e + 5)) - 1);
    return RpmOfPeriod(period);
}

std::int64_t SpeedB(int s) {
    if (s < 1) return NoPeriodRpm;
    const int e = s / 32;
    const int m = s % 32;
    const int t = TB[m] != Missing ? TB[m] : TB[m + 1];
    const std::int64_t period = (std::int64_t{1} << (e + 10)) | (std::int64_t{t} << (e + 5));
    return RpmOfPeriod(period);
}

}  // namespace

double LHRpmAxisValue(int s) {
    s = std::clamp(s, 0, 255);
    return static_cast<double>(SpeedA(s) + SpeedB(s)) / 2.0;
}

}  // namespace kelvane
