#include "core/logdata/LogFileReader.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

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

// A big list fills hundreds of megabytes. Faulting its pages in one call is much cheaper
// than one fault per page while filling. Only a hint: nothing depends on it being taken.
void PrefaultPages([[maybe_unused]] void* data, [[maybe_unused]] std::size_t bytes) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    constexpr std::uintptr_t Page = 4096;
    if (bytes < (16u << 20)) return;
    const auto first = (reinterpret_cast<std::uintptr_t>(data) + Page - 1) & ~(Page - 1);
    const auto last = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(Page - 1);
    if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#endif
}

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

// What the reader does with one column of a file: where in the entry its value goes and how.
struct TColumnPlan {
    enum TKind : std::uint8_t { Skip, Number, Integer, KnockRetard, Fahrenheit } Kind = Skip;
    std::uint16_t Offset = 0;  // byte offset of the field in TLogDataEntry
};

std::vector<TColumnPlan> PlanColumns(const TLogHeader& header) {
    std::vector<TColumnPlan> plan(header.FieldOfColumn.size());
    for (std::size_t c = 0; c < plan.size(); ++c) {
        const int field = header.FieldOfColumn[c];
        auto set = [&](TColumnPlan::TKind kind, std::size_t offset) {
            plan[c] = {kind, static_cast<std::uint16_t>(offset)};
        };
        switch (field) {
            case FieldTime:
                set(TColumnPlan::Number, offsetof(TLogDataEntry, TimeSec));
                break;
            case FieldRpm:
                set(TColumnPlan::Number, offsetof(TLogDataEntry, Rpm));
                break;
            case FieldMafSignal:
                set(TColumnPlan::Number, offsetof(TLogDataEntry, MafSignal));
                break;
            case FieldMafPercent:
                set(TColumnPlan::Number, offsetof(TLogDataEntry, MafPercent));
                break;
            case FieldMafVoltage:
                set(TColumnPlan::Number, offsetof(TLogDataEntry, MafVoltage));
                break;
            case FieldMapPressure:
                set(TColumnPlan::Number, offsetof(TLogDataEntry, MapPressure));
                break;
            case FieldAfr:
                set(TColumnPlan::Number, offsetof(TLogDataEntry, Afr));
                break;
            case FieldO2Adjust:
                set(TColumnPlan::Number, offsetof(TLogDataEntry, O2Adjust));
                break;
            case FieldThrottle:
                set(TColumnPlan::Integer, offsetof(TLogDataEntry, ThrottleSwitch));
                break;
            case FieldInjPulseWidth:
                set(TColumnPlan::Number, offsetof(TLogDataEntry, InjPulseWidth));
                break;
            case FieldInjDutyCycle:
                set(TColumnPlan::Number, offsetof(TLogDataEntry, InjDutyCycle));
                break;
            case FieldFlappy:
                set(TColumnPlan::Integer, offsetof(TLogDataEntry, Flappy));
                break;
            case FieldCoolantC:
                set(TColumnPlan::Number, offsetof(TLogDataEntry, CoolantTemp));
                break;
            case FieldCoolantF:
                set(TColumnPlan::Fahrenheit, offsetof(TLogDataEntry, CoolantTemp));
                break;
            case FieldAirTemp:
                set(TColumnPlan::Number, offsetof(TLogDataEntry, AirTemp));
                break;
            case FieldBaroPressure:
                set(TColumnPlan::Number, offsetof(TLogDataEntry, BaroPressure));
                break;
            case FieldLoad:
                set(TColumnPlan::Number, offsetof(TLogDataEntry, Load));
                break;
            case FieldIgnAdvance:
                set(TColumnPlan::Number, offsetof(TLogDataEntry, IgnAdvance));
                break;
            case FieldKnockCount:
                set(TColumnPlan::Integer, offsetof(TLogDataEntry, KnockCount));
                break;
            default:
                if (field >= FieldKr1 && field < FieldKr1 + KnockCylinders)
                    set(TColumnPlan::KnockRetard,
                        offsetof(TLogDataEntry, KnockRetard) +
                            static_cast<std::size_t>(field - FieldKr1) * sizeof(double));
                break;  // "Battery [v]" is recognised and not kept
        }
    }
    return plan;
}

// Reads the field at p into its place in e; returns where the field ends.
inline const char* StoreField(TLogDataEntry& e, TColumnPlan plan, const char* p, const char* end,
                              char separator) {
    char* const target = reinterpret_cast<char*>(&e) + plan.Offset;
    double number = 0;
    std::int32_t integer = 0;
    switch (plan.Kind) {
        case TColumnPlan::Number:
            p = ReadLogNumberField(p, end, separator, number);
            break;
        case TColumnPlan::Integer:
            p = ReadLogIntegerField(p, end, integer);
            std::memcpy(target, &integer, sizeof integer);
            return p;
        case TColumnPlan::KnockRetard:
            p = ReadLogNumberField(p, end, separator, number);
            if (number >= 11.9) number = MissingValue;
            break;
        case TColumnPlan::Fahrenheit:
            p = ReadLogNumberField(p, end, separator, number);
            number = (number - 32) * 5 / 9;
            break;
        case TColumnPlan::Skip:
            return SkipLogField(p, end);
    }
    std::memcpy(target, &number, sizeof number);
    return p;
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
    if (entries.capacity() < needed) {
        entries.reserve(std::max(needed, entries.capacity() + entries.capacity() / 2));
        PrefaultPages(entries.data() + first, (entries.capacity() - first) * sizeof(TLogDataEntry));
    }

    const auto fileIndex = static_cast<std::uint32_t>(state.Data.Files.size());
    // Logs without a MAF signal or MAP column take their load from "Load [%]" alone.
    const bool testLoad = header.Has(FieldMafSignal) || header.Has(FieldMapPressure);
    const std::vector<TColumnPlan> plan = PlanColumns(header);
    const std::size_t columns = plan.size();
    bool firstLine = true;
    std::size_t o2Samples = 0;
    while (p < end) {
        const char* const lineStart = p;
        TLogDataEntry& e = entries.emplace_back();
        std::size_t column = 0;
        while (true) {
            p = column < columns ? StoreField(e, plan[column], p, end, separator) : SkipLogField(p, end);
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

        const bool rpmOutOfRange = e.Rpm <= 0.1 || e.Rpm >= 10000;
        const bool loadOutOfRange = testLoad && (e.MafSignal <= 0.1 || e.MafSignal >= 10000) &&
                                    !(e.MapPressure > 0.1 && e.MapPressure < 1000);
        if (rpmOutOfRange || loadOutOfRange) {
            entries.pop_back();
            continue;
        }
        // Samples that show real O2 adjustment; counted while the sample is at hand. PlotMaf
        // is not computed yet (still MissingValue), so its condition always holds.
        if (e.O2Adjust != MissingValue && e.O2Adjust != 0 && e.Afr < 17.0 &&
            !(e.ThrottleSwitch == 1 && e.Rpm >= 1300) && e.Rpm > 100 && e.PlotMaf < 600 &&
            std::fabs(e.O2Adjust) < 25)
            ++o2Samples;
    }

    added = entries.size() - first;
    const std::size_t n = added;
    const bool o2Active =
        header.Has(FieldO2Adjust) && static_cast<double>(o2Samples) > 0.01 * static_cast<double>(n);
    const bool afrPresent = header.Has(FieldAfr) && n >= 2;
    if (o2Active || afrPresent) {
        for (std::size_t i = first; i < entries.size(); ++i) {
            entries[i].O2Active = o2Active ? 1 : 0;
            entries[i].AfrPresent = afrPresent ? 1 : 0;
        }
    }

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
    std::string out = std::to_string(size);
    out += ';';
    out += std::to_string(static_cast<int>(date.year()));
    out += '-';
    TwoDigits(out, static_cast<unsigned>(date.month()));
    out += '-';
    TwoDigits(out, static_cast<unsigned>(date.day()));
    out += ' ';
    TwoDigits(out, static_cast<unsigned>(time.hours().count()));
    out += ':';
    TwoDigits(out, static_cast<unsigned>(time.minutes().count()));
    out += ':';
    TwoDigits(out, static_cast<unsigned>(time.seconds().count()));
    const std::string fraction = std::to_string(time.subseconds().count());
    out += '.';
    out.append(9 - std::min<std::size_t>(9, fraction.size()), '0');
    out += fraction;
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
            state.OpenFiles.SetValue(
                fileName, error ? std::to_string(size).append(";") : OpenFileValue(size, modified));
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
