#include "core/logdata/LogFileReader.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/logdata/AfrSmoothing.h"
#include "core/logdata/LogCaption.h"
#include "core/logdata/LogHeader.h"
#include "core/logdata/LogNumbers.h"
#include "core/logdata/PlotMafPass.h"
#include "core/shell/AtomicFile.h"

namespace kelvane {

namespace {

constexpr double SecondsToDays = 1.1574074074074073e-05;
constexpr double FileGapDays = 1.1574074074074074e-06;  // 0.1 s between two files

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Position after the line end at p (CR LF counts as one).
const char* SkipLineEnd(const char* p, const char* end) {
    if (p < end && *p == '\r') {
        ++p;
        if (p < end && *p == '\n') ++p;
    } else if (p < end && *p == '\n') {
        ++p;
    }
    return p;
}

const char* FindLineEnd(const char* p, const char* end) {
    while (p < end && !IsLineEnd(*p)) ++p;
    return p;
}

bool IsBlankLine(const char* p, const char* lineEnd) {
    for (; p < lineEnd; ++p)
        if (*p != ' ' && *p != '\t') return false;
    return true;
}

// An upper bound on the number of lines from p on, to reserve the list once.
std::size_t CountLines(const char* p, const char* end) {
    auto count = [&](char c) {
        std::size_t n = 0;
        for (const char* q = p; q < end; ++q) {
            q = static_cast<const char*>(std::memchr(q, c, static_cast<std::size_t>(end - q)));
            if (!q) break;
            ++n;
        }
        return n;
    };
    std::size_t n = count('\n');
    if (n == 0) n = count('\r');
    return n + 1;
}

void StoreField(TLogDataEntry& e, int field, const char* first, const char* last, char separator) {
    switch (field) {
        case FieldTime:
            e.TimeSec = ReadLogNumber(first, last, separator);
            break;
        case FieldRpm:
            e.Rpm = ReadLogNumber(first, last, separator);
            break;
        case FieldMafSignal:
            e.MafSignal = ReadLogNumber(first, last, separator);
            break;
        case FieldMafPercent:
            e.MafPercent = ReadLogNumber(first, last, separator);
            break;
        case FieldMafVoltage:
            e.MafVoltage = ReadLogNumber(first, last, separator);
            break;
        case FieldMapPressure:
            e.MapPressure = ReadLogNumber(first, last, separator);
            break;
        case FieldAfr:
            e.Afr = ReadLogNumber(first, last, separator);
            break;
        case FieldO2Adjust:
            e.O2Adjust = ReadLogNumber(first, last, separator);
            break;
        case FieldThrottle:
            e.ThrottleSwitch = ReadLogInteger(first, last);
            break;
        case FieldInjPulseWidth:
            e.InjPulseWidth = ReadLogNumber(first, last, separator);
            break;
        case FieldInjDutyCycle:
            e.InjDutyCycle = ReadLogNumber(first, last, separator);
            break;
        case FieldFlappy:
            e.Flappy = ReadLogInteger(first, last);
            break;
        case FieldCoolantC:
            e.CoolantTemp = ReadLogNumber(first, last, separator);
            break;
        case FieldCoolantF:
            e.CoolantTemp = (ReadLogNumber(first, last, separator) - 32) * 5 / 9;
            break;
        case FieldAirTemp:
            e.AirTemp = ReadLogNumber(first, last, separator);
            break;
        case FieldBaroPressure:
            e.BaroPressure = ReadLogNumber(first, last, separator);
            break;
        case FieldLoad:
            e.Load = ReadLogNumber(first, last, separator);
            break;
        case FieldIgnAdvance:
            e.IgnAdvance = ReadLogNumber(first, last, separator);
            break;
        case FieldKnockCount:
            e.KnockCount = ReadLogInteger(first, last);
            break;
        default:
            if (field >= FieldKr1 && field < FieldKr1 + KnockCylinders) {
                const double retard = ReadLogNumber(first, last, separator);
                e.KnockRetard[static_cast<std::size_t>(field - FieldKr1)] =
                    retard >= 11.9 ? MissingValue : retard;
            }
            break;  // "Battery [v]" is recognised and not kept
    }
}

enum class TReadOutcome { NoData, Rejected, Loaded };

// Parses the bytes of one file and appends its accepted samples; the file's facts are
// kept (once) only when a sample refers to them.
TReadOutcome AppendLogSamples(TLogState& state, std::string fileName, std::string bytes, std::string& message,
                              std::size_t& added) {
    added = 0;
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    const char* const headerEnd = FindLineEnd(begin, end);
    const char* p = SkipLineEnd(headerEnd, end);
    while (p < end) {
        const char* lineEnd = FindLineEnd(p, end);
        if (!IsBlankLine(p, lineEnd)) break;
        p = SkipLineEnd(lineEnd, end);
    }
    if (p >= end) return TReadOutcome::NoData;

    const TLogHeader header =
        ParseLogHeader(std::string_view(begin, static_cast<std::size_t>(headerEnd - begin)));
    header.MarkColumns(state.ColumnPresent);
    const char* const firstLineEnd = FindLineEnd(p, end);
    const char separator = std::find(p, firstLineEnd, ',') != firstLineEnd ? ',' : '.';
    if (!header.Accepted()) {
        message = header.RejectionMessage();
        return TReadOutcome::Rejected;
    }

    auto& entries = state.Data.Entries;
    const std::size_t first = entries.size();
    const double baseTime = entries.empty() ? 0.0 : entries.back().TimeStamp + FileGapDays;
    const std::size_t needed = first + CountLines(p, end);
    if (entries.capacity() < needed)
        entries.reserve(std::max(needed, entries.capacity() + entries.capacity() / 2));

    const auto fileIndex = static_cast<std::uint32_t>(state.Data.Files.size());
    // Logs without a MAF signal or MAP column take their load from "Load [%]" alone.
    const bool testLoad = header.Has(FieldMafSignal) || header.Has(FieldMapPressure);
    const std::int8_t* const fieldOf = header.FieldOfColumn.data();
    const std::size_t columns = header.FieldOfColumn.size();
    bool firstLine = true;
    while (p < end) {
        const char* const lineStart = p;
        TLogDataEntry e;
        std::size_t column = 0;
        while (true) {
            const char* const fieldStart = p;
            while (p < end && *p != '\t' && !IsLineEnd(*p)) ++p;
            if (column < columns && fieldOf[column] != NoField)
                StoreField(e, fieldOf[column], fieldStart, p, separator);
            ++column;
            if (p < end && *p == '\t') {
                ++p;
                continue;
            }
            break;
        }
        e.RawOffset = static_cast<std::uint64_t>(lineStart - begin);
        e.RawLength = static_cast<std::uint32_t>(p - lineStart);
        p = SkipLineEnd(p, end);
        e.File = fileIndex;
        e.FirstOfFile = firstLine ? 1 : 0;  // spent on the first line even when it is dropped
        firstLine = false;
        e.TimeStamp = baseTime + e.TimeSec * SecondsToDays;

        if (e.Rpm <= 0.1 || e.Rpm >= 10000) continue;
        if (testLoad && (e.MafSignal <= 0.1 || e.MafSignal >= 10000) &&
            !(e.MapPressure > 0.1 && e.MapPressure < 1000))
            continue;
        entries.push_back(e);
    }

    added = entries.size() - first;
    const std::size_t n = added;
    if (header.Has(FieldO2Adjust)) {
        std::size_t active = 0;
        for (std::size_t i = first; i < entries.size(); ++i) {
            const TLogDataEntry& e = entries[i];
            if (e.O2Adjust != MissingValue && e.O2Adjust != 0 && e.Afr < 17.0 &&
                !(e.ThrottleSwitch == 1 && e.Rpm >= 1300) && e.Rpm > 100 && e.PlotMaf < 600 &&
                std::fabs(e.O2Adjust) < 25)
                ++active;
        }
        if (static_cast<double>(active) > 0.01 * static_cast<double>(n))
            for (std::size_t i = first; i < entries.size(); ++i) entries[i].O2Active = 1;
    }
    if (header.Has(FieldAfr) && n >= 2)
        for (std::size_t i = first; i < entries.size(); ++i) entries[i].AfrPresent = 1;

    if (n > 0) {
        TLogFileInfo info;
        info.FileName = std::move(fileName);
        info.HeaderOffset = 0;
        info.HeaderLength = static_cast<std::uint32_t>(headerEnd - begin);
        info.Bytes = std::move(bytes);
        state.Data.Files.push_back(std::move(info));
    }
    return TReadOutcome::Loaded;
}

void TwoDigits(std::string& out, unsigned value) {
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

}  // namespace

std::string OpenFileValue(std::uint64_t size, std::filesystem::file_time_type modified) {
    using namespace std::chrono;
    const auto sys = file_clock::to_sys(modified);
    const auto day = floor<days>(sys);
    const year_month_day date(day);
    const hh_mm_ss time(floor<nanoseconds>(sys - day));
    std::string out = std::to_string(size) + ";" + std::to_string(static_cast<int>(date.year())) + "-";
    TwoDigits(out, static_cast<unsigned>(date.month()));
    out += '-';
    TwoDigits(out, static_cast<unsigned>(date.day()));
    out += ' ';
    TwoDigits(out, static_cast<unsigned>(time.hours().count()));
    out += ':';
    TwoDigits(out, static_cast<unsigned>(time.minutes().count()));
    out += ':';
    TwoDigits(out, static_cast<unsigned>(time.seconds().count()));
    std::string fraction = std::to_string(time.subseconds().count());
    out += '.' + std::string(9 - std::min<std::size_t>(9, fraction.size()), '0') + fraction;
    return out;
}

TLoadLogResult LoadLogFile(TLogState& state, const std::filesystem::path& path,
                           const TLoadLogOptions& options) {
    TLoadLogResult result;
    const std::string fileName = path.string();
    if (state.OpenFiles.IndexOf(fileName) >= 0) RemoveLogFile(state, fileName);

    std::string bytes;
    if (ReadWholeFile(path, bytes)) {
        const std::uint64_t size = bytes.size();
        std::error_code error;
        const auto modified = std::filesystem::last_write_time(path, error);
        const TReadOutcome outcome =
            AppendLogSamples(state, fileName, std::move(bytes), result.Message, result.SamplesAdded);
        result.HeaderRejected = outcome == TReadOutcome::Rejected;
        result.Loaded = outcome == TReadOutcome::Loaded;
        result.ResetGraphRange = true;
        if (result.Loaded)
            state.OpenFiles.SetValue(fileName,
                                     error ? std::to_string(size) + ";" : OpenFileValue(size, modified));
    }
    // Smoothing runs whenever the list may have changed: removing an earlier copy of the
    // file joins samples whose smoothed AFR would otherwise be stale.
    SmoothAfr(state.Data, options.AfrSmoothing);
    PlotMafPass(state.Data, options.LHConfig);
    result.FiltersDirty = true;
    result.Caption = CaptionText(state.OpenFiles, options.SessionName);
    result.Status = StatusText(state.OpenFiles.Count(), state.Data.Count());
    return result;
}

bool RemoveLogFile(TLogState& state, std::string_view fileName) {
    const bool listed = state.OpenFiles.IndexOf(fileName) >= 0;
    state.OpenFiles.SetValue(fileName, "");

    auto& files = state.Data.Files;
    std::vector<std::uint32_t> newIndex(files.size());
    constexpr std::uint32_t Removed = UINT32_MAX;
    std::size_t kept = 0;
    for (std::size_t f = 0; f < files.size(); ++f) {
        if (SameTextIgnoringCase(files[f].FileName, fileName)) {
            newIndex[f] = Removed;
        } else {
            newIndex[f] = static_cast<std::uint32_t>(kept);
            if (kept != f) files[kept] = std::move(files[f]);
            ++kept;
        }
    }
    if (kept == files.size()) return listed;
    files.resize(kept);

    auto& entries = state.Data.Entries;
    std::size_t out = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::uint32_t target = newIndex[entries[i].File];
        if (target == Removed) continue;
        entries[out] = entries[i];
        entries[out].File = target;
        ++out;
    }
    entries.resize(out);
    return true;
}

void ClearLogState(TLogState& state) {
    state.Data.Clear();
    state.OpenFiles.Clear();
    state.ColumnPresent.fill(0);
}

}  // namespace kelvane
