#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ground/MissingValue.h"

namespace kelvane {

constexpr int MissingInteger = -1;

constexpr int KnockCylinders = 8;

// Indexes into TColumnSet (ColumnPresent). Index 15 is never set.
enum TLogColumn : int {
    ColTime = 0,
    ColRpm = 1,
    ColMafSignal = 2,
    ColMafPercent = 3,
    ColMafVoltage = 4,
    ColMapPressure = 5,
    ColO2Adjust = 6,
    ColAfr = 7,
    ColThrottle = 8,
    ColInjPulseWidth = 9,
    ColInjDutyCycle = 10,
    ColFlappy = 11,
    ColCoolantTemp = 12,
    ColAirTemp = 13,
    ColBaroPressure = 14,
    ColUnused15 = 15,
    ColLoad = 16,
    ColIgnAdvance = 17,
    ColKnockCount = 18,
    ColKnockRetard = 19,
    ColumnCount = 20
};

using TColumnSet = std::array<std::uint8_t, ColumnCount>;

// Facts shared by every sample of one log file, kept once per file.
struct TLogFileInfo {
    std::string FileName;  // full path, as given to the reader
    std::string Header;    // the header line as the file holds it, without its line end
    char Separator = '.';  // the decimal separator its numbers were read with
    // The file as it was read: a file whose size or time differs has changed since.
    std::uint64_t Size = 0;
    std::filesystem::file_time_type Modified{};

    std::string_view HeaderLine() const { return Header; }
};

// One log sample. The fields the filters, the plot and the statistics read on
// every refresh come first and fill one cache line, and the knock retards the
// next: a refresh over a million samples then streams a quarter of the list.
struct alignas(64) TLogDataEntry {
    double TimeSec = MissingValue;
    double Rpm = MissingValue;
    double PlotMaf = MissingValue;
    double SmoothedAfr = MissingValue;
    double O2Adjust = MissingValue;
    double Load = MissingValue;
    std::int32_t ThrottleSwitch = MissingInteger;
    std::int32_t KnockCount = MissingInteger;
    std::uint8_t O2Active = 0;
    std::uint8_t AfrPresent = 0;
    std::uint8_t Included = 1;
    std::uint8_t Selected = 0;
    std::uint8_t FirstOfFile = 0;

    // KnockRetard[0] is cylinder 1 ("KR1").
    std::array<double, KnockCylinders> KnockRetard{MissingValue, MissingValue, MissingValue, MissingValue,
                                                   MissingValue, MissingValue, MissingValue, MissingValue};

    double Afr = MissingValue;
    double MafSignal = MissingValue;
    double MafPercent = MissingValue;
    double MafVoltage = MissingValue;
    double MapPressure = MissingValue;
    double InjPulseWidth = MissingValue;
    double InjDutyCycle = MissingValue;
    double CoolantTemp = MissingValue;
    double AirTemp = MissingValue;
    double BaroPressure = MissingValue;
    double IgnAdvance = MissingValue;
    double TimeStamp = 0;  // days on the plot's common time line

    // The sample's line in its file as read: offset from the file's first byte, length without the line end.
    std::uint64_t RawOffset = 0;
    std::uint32_t RawLength = 0;
    std::uint32_t File = 0;  // index into TLogData::Files

    std::int32_t Flappy = MissingInteger;
};

static_assert(sizeof(TLogDataEntry) == 256, "keep a sample at four cache lines");
static_assert(offsetof(TLogDataEntry, KnockRetard) == 64, "hot fields fill the first cache line");

// All samples of the plot, in list order; files in the order they were read.
// PrevEntry/NextEntry of the list are simply the neighbours by index.
struct TLogData {
    std::vector<TLogDataEntry> Entries;
    std::vector<TLogFileInfo> Files;

    std::size_t Count() const { return Entries.size(); }
    bool Empty() const { return Entries.empty(); }
    TLogDataEntry& operator[](std::size_t i) { return Entries[i]; }
    const TLogDataEntry& operator[](std::size_t i) const { return Entries[i]; }

    std::optional<std::size_t> Prev(std::size_t i) const {
        return i > 0 ? std::optional(i - 1) : std::nullopt;
    }
    std::optional<std::size_t> Next(std::size_t i) const {
        return i + 1 < Entries.size() ? std::optional(i + 1) : std::nullopt;
    }

    const std::string& FileName(const TLogDataEntry& e) const { return Files[e.File].FileName; }
    std::string_view HeaderLine(const TLogDataEntry& e) const { return Files[e.File].HeaderLine(); }

    void Clear() {
        Entries.clear();
        Files.clear();
    }
};

}  // namespace kelvane
