#pragma once

// A realistic device log for benchmarks: the full header the reader knows (every title,
// KR1 .. KR8, degree signs as byte B0), CR LF line ends, about 120 bytes a sample at 10 Hz.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace kelvane {

namespace generated_log_detail {

class TRandom {
  public:
    explicit TRandom(std::uint64_t seed) : FState(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    std::uint64_t Next() {
        FState ^= FState << 13;
        FState ^= FState >> 7;
        FState ^= FState << 17;
        return FState;
    }
    double Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }  // [0, 1)
    double Between(double low, double high) { return low + (high - low) * Uniform(); }

  private:
    std::uint64_t FState;
};

inline void Put(std::string& out, double value, int decimals) {
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    out.append(buffer, result.ptr);
}

inline void Put(std::string& out, long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

}  // namespace generated_log_detail

inline constexpr const char* GeneratedLogHeader =
    "Time [s]\tRPM\tMAF signal\tMAF signal [%]\tMAF voltage [V]\tMAP [kPa]\tA/F ratio\tO2 sensor adj [%]\t"
    "Throttle pos (1=idle, 2=cruise, 3=WOT)\tInj PW [ms]\tInj duty cycle [%]\tFlappy (1=open, 0=closed)\t"
    "Battery [v]\tCoolant temp [\xB0"
    "C]\tAir temp [\xB0"
    "C]\tBarometric pressure [kPa]\tLoad [%]\tIgn adv [\xB0"
    "]\tKnock count\tKR1\tKR2\tKR3\tKR4\tKR5\tKR6\tKR7\tKR8";

// Writes a log of sampleCount samples to path; false when the file cannot be written.
inline bool WriteGeneratedLog(const std::filesystem::path& path, std::size_t sampleCount,
                              std::uint64_t seed = 1) {
    using namespace generated_log_detail;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    TRandom random(seed);
    std::string out;
    out.reserve(1 << 20);
    out += GeneratedLogHeader;
    out += "\r\n";

    double rpm = 900, throttle = 0.05, coolant = 60, knockRetard = 0;
    long knockCount = 0;
    for (std::size_t i = 0; i < sampleCount; ++i) {
        // Throttle wanders, with occasional stabs; RPM follows it with some lag.
        throttle = std::clamp(throttle + random.Between(-0.04, 0.04) + (random.Uniform() < 0.002 ? 0.5 : 0.0),
                              0.0, 1.0);
        rpm = std::clamp(rpm + (800 + 5200 * throttle - rpm) * 0.05 + random.Between(-40, 40), 650.0, 6900.0);
        coolant = std::min(90.0, coolant + 0.001);
        const double load = std::clamp(15 + 85 * throttle + random.Between(-2, 2), 5.0, 100.0);
        const double maf = std::clamp(rpm * load / 100 * 0.45 + random.Between(-5, 5), 60.0, 2100.0);
        const double map = std::clamp(25 + 0.9 * load + random.Between(-1, 1), 20.0, 240.0);
        const long throttleSwitch = throttle < 0.03 ? 1 : (throttle > 0.85 ? 3 : 2);
        const double afr = throttleSwitch == 3 ? random.Between(11.5, 12.5) : random.Between(14.2, 15.2);
        const double o2 = throttleSwitch == 3 ? 0.0 : random.Between(-8, 8);
        const double pulseWidth = 1.5 + load * 0.12;
        if (throttleSwitch == 3 && random.Uniform() < 0.01) {
            ++knockCount;
            knockRetard = 2.8;
        } else {
            knockRetard = std::max(0.0, knockRetard - 0.1);
        }

        Put(out, static_cast<double>(i) * 0.1, 2);
        out += '\t';
        Put(out, std::lround(rpm));
        out += '\t';
        Put(out, std::lround(maf));
        out += '\t';
        Put(out, maf / 21.0, 1);
        out += '\t';
        Put(out, 1.0 + maf / 500.0, 2);
        out += '\t';
        Put(out, map, 1);
        out += '\t';
        Put(out, afr, 2);
        out += '\t';
        Put(out, o2, 1);
        out += '\t';
        Put(out, throttleSwitch);
        out += '\t';
        Put(out, pulseWidth, 2);
        out += '\t';
        Put(out, pulseWidth * rpm / 1200.0, 1);
        out += '\t';
        Put(out, static_cast<long>(rpm > 4000));
        out += '\t';
        Put(out, random.Between(13.6, 14.2), 1);
        out += '\t';
        Put(out, std::lround(coolant));
        out += '\t';
        Put(out, std::lround(random.Between(20, 35)));
        out += '\t';
        Put(out, random.Between(100.5, 101.5), 1);
        out += '\t';
        Put(out, load, 1);
        out += '\t';
        Put(out, 35.0 - load * 0.2, 1);
        out += '\t';
        Put(out, knockCount);
        for (int cylinder = 0; cylinder < 8; ++cylinder) {
            out += '\t';
            Put(out, cylinder == static_cast<int>(i % 8) ? knockRetard : 0.0, 1);
        }
        out += "\r\n";
        if (out.size() > (1 << 20) - 512) {
            file.write(out.data(), static_cast<std::streamsize>(out.size()));
            out.clear();
        }
    }
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file.flush());
}

}  // namespace kelvane
