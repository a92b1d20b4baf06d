#include "core/logdata/LogFileReader.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <functional>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "core/ground/AtomicFile.h"
#include "core/ground/FileNameCase.h"
#include "core/logdata/AfrSmoothing.h"
#include "core/logdata/LogHeader.h"
#include "core/logdata/LogNumbers.h"
#include "core/logdata/PlotMafPass.h"

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

enum class TReadOutcome { NoData, Rejected, Loaded, Cancelled };

// Kept as one function so that a sample's time is the same sum on every path.
inline double SampleTimeStamp(double baseTime, double timeSec) {
    return baseTime + timeSec * SecondsToDays;
}

// Where the list's next file starts on the common time line.
double NextBaseTime(const TLogData& data) {
    return data.Entries.empty() ? 0.0 : data.Entries.back().TimeStamp + FileGapDays;
}

// Reserves room for the data lines from p on, counted once, and faults the new pages in.
void ReserveForLines(std::vector<TLogDataEntry>& entries, const char* p, const char* end) {
    const std::size_t first = entries.size();
    const std::size_t needed = first + CountLines(p, end);
    if (entries.capacity() < needed) {
        entries.reserve(std::max(needed, entries.capacity() + entries.capacity() / 2));
        PrefaultPages(entries.data() + first, (entries.capacity() - first) * sizeof(TLogDataEntry));
    }
}

// One file's bytes split into header and data lines.
struct TFileLayout {
    const char* Begin = nullptr;
    const char* End = nullptr;
    const char* HeaderStart = nullptr;
    const char* HeaderEnd = nullptr;
    const char* FirstData = nullptr;  // End when the file has no data line
};

// Offsets in the layout count from the file's first byte; a byte-order mark
// before the header is skipped, not removed.
TFileLayout LayOut(const std::string& bytes) {
    TFileLayout layout;
    layout.Begin = bytes.data();
    layout.End = layout.Begin + bytes.size();
    layout.HeaderStart = layout.Begin + (std::string_view(bytes).starts_with(Utf8Bom) ? Utf8Bom.size() : 0);
    layout.HeaderEnd = FindLineEnd(layout.HeaderStart, layout.End);
    const char* p = SkipLineEnd(layout.HeaderEnd, layout.End);
    while (p < layout.End) {
        const char* lineEnd = FindLineEnd(p, layout.End);
        if (!IsBlankLine(p, lineEnd)) break;
        p = SkipLineEnd(lineEnd, layout.End);
    }
    layout.FirstData = p;
    return layout;
}

// How the data lines of one file are read.
struct TLineReader {
    std::vector<TColumnPlan> Plan;
    char Separator = '.';
    bool TestLoad = true;  // logs without a MAF signal or MAP column take their load from "Load [%]" alone
    // Columns of the range-tested values, -1 when absent: only a dropped line looks at them again.
    int RpmColumn = -1;
    int MafColumn = -1;
    int MapColumn = -1;
};

struct TParsedLines {
    std::size_t O2Samples = 0;  // samples that show real O2 adjustment
    std::size_t OutOfRange = 0;
    std::size_t Unreadable = 0;
    bool Cancelled = false;
};

// Whether the given column of the line holds a number; a column the line does not reach holds none.
bool ColumnHoldsNumber(const char* line, const char* lineEnd, int column, char separator) {
    if (column < 0) return false;
    const char* p = line;
    for (int c = 0; c < column; ++c) {
        p = SkipLogField(p, lineEnd);
        if (p == lineEnd) return false;
        ++p;  // the TAB
    }
    return IsLogNumber(p, SkipLogField(p, lineEnd), separator);
}

// Why a line failed the range test: unreadable when it has no number for RPM, or none in any
// load column, where the test needed one; out of range otherwise.
bool DroppedAsUnreadable(const TLineReader& reader, const char* line, const char* lineEnd, bool rpmOutOfRange,
                         bool loadOutOfRange) {
    const auto number = [&](int column) {
        return ColumnHoldsNumber(line, lineEnd, column, reader.Separator);
    };
    if (rpmOutOfRange && !number(reader.RpmColumn)) return true;
    return loadOutOfRange && !number(reader.MafColumn) && !number(reader.MapColumn);
}

// Parses the data lines of a file and appends the accepted samples to entries. With a
// progress callback the lines go in chunks of about step bytes, the callback after each.
TParsedLines ParseDataLines(std::vector<TLogDataEntry>& entries, const TFileLayout& layout,
                            const TLineReader& reader, double baseTime, std::uint32_t fileIndex,
                            const std::function<bool(std::uint64_t, std::uint64_t)>& progress,
                            std::uint64_t step) {
    TParsedLines parsed;
    const char* const begin = layout.Begin;
    const char* const end = layout.End;
    const char separator = reader.Separator;
    const std::size_t columns = reader.Plan.size();
    const auto total = static_cast<std::uint64_t>(end - begin);
    step = std::max<std::uint64_t>(step, 1);
    bool firstLine = true;
    const char* p = layout.FirstData;
    while (p < end) {
        // Without a callback the whole file is one chunk, so the line loop stays as tight.
        const char* const limit = progress && static_cast<std::uint64_t>(end - p) > step ? p + step : end;
        while (p < limit) {
            const char* const lineStart = p;
            TLogDataEntry& e = entries.emplace_back();
            std::size_t column = 0;
            while (true) {
                p = column < columns ? StoreField(e, reader.Plan[column], p, end, separator)
                                     : SkipLogField(p, end);
                ++column;
                if (p < end && *p == '\t') {
                    ++p;
                    continue;
                }
                break;
            }
            e.RawOffset = static_cast<std::uint64_t>(lineStart - begin);
            e.RawLength = static_cast<std::uint32_t>(p - lineStart);
            const char* const lineEnd = p;
            p = SkipLineEnd(p, end);
            e.File = fileIndex;
            e.FirstOfFile = firstLine ? 1 : 0;  // spent on the first line even when it is dropped
            firstLine = false;
            e.TimeStamp = SampleTimeStamp(baseTime, e.TimeSec);

            const bool rpmOutOfRange = e.Rpm <= 0.1 || e.Rpm >= 10000;
            const bool loadOutOfRange = reader.TestLoad && (e.MafSignal <= 0.1 || e.MafSignal >= 10000) &&
                                        !(e.MapPressure > 0.1 && e.MapPressure < 1000);
            if (rpmOutOfRange || loadOutOfRange) {
                entries.pop_back();
                if (DroppedAsUnreadable(reader, lineStart, lineEnd, rpmOutOfRange, loadOutOfRange))
                    ++parsed.Unreadable;
                else
                    ++parsed.OutOfRange;
                continue;
            }
            // Samples that show real O2 adjustment; counted while the sample is at hand. PlotMaf
            // is not computed yet (still MissingValue), so its condition always holds.
            if (e.O2Adjust != MissingValue && e.O2Adjust != 0 && e.Afr < 17.0 &&
                !(e.ThrottleSwitch == 1 && e.Rpm >= 1300) && e.Rpm > 100 && e.PlotMaf < 600 &&
                std::fabs(e.O2Adjust) < 25)
                ++parsed.O2Samples;
        }
        if (progress && !progress(static_cast<std::uint64_t>(p - begin), total)) {
            parsed.Cancelled = true;
            break;
        }
    }
    return parsed;
}

// The file-level flags of the samples from first on, and the file's facts (kept only
// when a sample refers to them).
void FinishFile(TLogState& state, std::size_t first, const TLogHeader& header, const TParsedLines& parsed,
                const TFileLayout& layout, std::string fileName, std::string bytes,
                std::filesystem::file_time_type modified) {
    auto& entries = state.Data.Entries;
    const std::size_t n = entries.size() - first;
    const bool o2Active =
        header.Has(FieldO2Adjust) && static_cast<double>(parsed.O2Samples) > 0.01 * static_cast<double>(n);
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
        info.Header.assign(layout.HeaderStart, layout.HeaderEnd);
        info.Size = bytes.size();
        info.Modified = modified;
        info.Bytes = std::move(bytes);
        state.Data.Files.push_back(std::move(info));
    }
}

// Reads the header; false when the file has no data line or its header is rejected
// (outcome and message then say which).
bool ReadHeader(TLogState& state, const TFileLayout& layout, TLogHeader& header, TLineReader& reader,
                TReadOutcome& outcome, std::string& message) {
    if (layout.FirstData >= layout.End) {
        outcome = TReadOutcome::NoData;
        return false;
    }
    header = ParseLogHeader(std::string_view(
        layout.HeaderStart, static_cast<std::size_t>(layout.HeaderEnd - layout.HeaderStart)));
    const char* const firstLineEnd = FindLineEnd(layout.FirstData, layout.End);
    reader.Separator = std::find(layout.FirstData, firstLineEnd, ',') != firstLineEnd ? ',' : '.';
    if (!header.Accepted()) {
        header.MarkColumns(state.ColumnPresent);
        message = header.RejectionMessage();
        outcome = TReadOutcome::Rejected;
        return false;
    }
    reader.Plan = PlanColumns(header);
    reader.TestLoad = header.Has(FieldMafSignal) || header.Has(FieldMapPressure);
    reader.RpmColumn = header.ColumnOf[FieldRpm];
    reader.MafColumn = header.ColumnOf[FieldMafSignal];
    reader.MapColumn = header.ColumnOf[FieldMapPressure];
    return true;
}

// The data lines of a file: those kept and those dropped.
TDataLineCounts LineCounts(std::size_t added, const TParsedLines& parsed) {
    TDataLineCounts lines;
    lines.OutOfRange = parsed.OutOfRange;
    lines.Unreadable = parsed.Unreadable;
    lines.Read = added + lines.Skipped();
    return lines;
}

// Parses the bytes of one file straight into the list.
TReadOutcome AppendLogSamples(TLogState& state, std::string fileName, std::string bytes,
                              std::filesystem::file_time_type modified, std::string& message,
                              std::size_t& added, TDataLineCounts& lines) {
    added = 0;
    const TFileLayout layout = LayOut(bytes);
    TLogHeader header;
    TLineReader reader;
    TReadOutcome outcome = TReadOutcome::Loaded;
    if (!ReadHeader(state, layout, header, reader, outcome, message)) return outcome;
    header.MarkColumns(state.ColumnPresent);

    auto& entries = state.Data.Entries;
    const std::size_t first = entries.size();
    ReserveForLines(entries, layout.FirstData, layout.End);
    const auto fileIndex = static_cast<std::uint32_t>(state.Data.Files.size());
    const TParsedLines parsed =
        ParseDataLines(entries, layout, reader, NextBaseTime(state.Data), fileIndex, nullptr, 0);
    added = entries.size() - first;
    lines = LineCounts(added, parsed);
    FinishFile(state, first, header, parsed, layout, std::move(fileName), std::move(bytes), modified);
    return TReadOutcome::Loaded;
}

// Where a file's samples go on the time line and which file index they take.
struct TJoinPlace {
    double BaseTime = 0;
    std::uint32_t FileIndex = 0;
    bool operator==(const TJoinPlace&) const = default;
};

TJoinPlace PlaceAtEnd(const TLogData& data) {
    return {NextBaseTime(data), static_cast<std::uint32_t>(data.Files.size())};
}

// The place the file will take once its earlier copy, if open, is removed.
TJoinPlace PlaceAfterRemoval(const TLogState& state, std::string_view fileName) {
    const auto& files = state.Data.Files;
    if (state.OpenFiles.IndexOf(fileName) < 0) return PlaceAtEnd(state.Data);
    std::vector<bool> removed(files.size(), false);
    std::size_t kept = files.size();
    for (std::size_t f = 0; f < files.size(); ++f)
        if (SameFileName(files[f].FileName, fileName)) {
            removed[f] = true;
            --kept;
        }
    TJoinPlace place{0.0, static_cast<std::uint32_t>(kept)};
    const auto& entries = state.Data.Entries;
    for (auto e = entries.rbegin(); e != entries.rend(); ++e)
        if (!removed[e->File]) {
            place.BaseTime = e->TimeStamp + FileGapDays;
            break;
        }
    return place;
}

// Parses the bytes of one file aside, telling progress, and joins the samples to the list
// only when the parse was not cancelled. The file's earlier copy is removed at the join, so
// that a cancel keeps it. Events run from the callback may have changed the list: then
// the samples are placed again by the list as it is at the join.
TReadOutcome StageLogSamples(TLogState& state, std::string fileName, std::string bytes,
                             std::filesystem::file_time_type modified, const TLoadLogOptions& options,
                             std::string& message, std::size_t& added, TDataLineCounts& lines) {
    added = 0;
    const TFileLayout layout = LayOut(bytes);
    TLogHeader header;
    TLineReader reader;
    TReadOutcome outcome = TReadOutcome::Loaded;
    if (!ReadHeader(state, layout, header, reader, outcome, message)) {
        if (state.OpenFiles.IndexOf(fileName) >= 0) RemoveLogFile(state, fileName);
        return outcome;
    }

    const TJoinPlace planned = PlaceAfterRemoval(state, fileName);
    std::vector<TLogDataEntry> staged;
    ReserveForLines(staged, layout.FirstData, layout.End);
    const TParsedLines parsed = ParseDataLines(staged, layout, reader, planned.BaseTime, planned.FileIndex,
                                               options.Progress, options.ProgressStep);
    if (parsed.Cancelled) return TReadOutcome::Cancelled;

    if (state.OpenFiles.IndexOf(fileName) >= 0) RemoveLogFile(state, fileName);
    header.MarkColumns(state.ColumnPresent);
    const TJoinPlace place = PlaceAtEnd(state.Data);
    if (place != planned)
        for (TLogDataEntry& e : staged) {
            e.TimeStamp = SampleTimeStamp(place.BaseTime, e.TimeSec);
            e.File = place.FileIndex;
        }
    auto& entries = state.Data.Entries;
    const std::size_t first = entries.size();
    if (entries.empty())
        entries = std::move(staged);
    else
        entries.insert(entries.end(), staged.begin(), staged.end());
    added = entries.size() - first;
    lines = LineCounts(added, parsed);
    FinishFile(state, first, header, parsed, layout, std::move(fileName), std::move(bytes), modified);
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
    // With a progress callback the earlier copy goes only when the new one joins the list.
    const bool staged = static_cast<bool>(options.Progress);
    if (!staged && state.OpenFiles.IndexOf(fileName) >= 0) RemoveLogFile(state, fileName);

    std::string bytes;
    errno = 0;
    const bool read = ReadWholeFile(path, bytes);
    if (!read) {
        result.Unreadable = true;
        std::error_code error;
        result.Message =
            std::filesystem::exists(path, error) && !std::filesystem::is_regular_file(path, error)
                ? "not a regular file"
            : errno != 0 ? std::strerror(errno)
                         : "it could not be read";
    }
    if (read) {
        const std::uint64_t size = bytes.size();
        std::error_code error;
        const auto modified = std::filesystem::last_write_time(path, error);
        const TReadOutcome outcome =
            staged ? StageLogSamples(state, fileName, std::move(bytes), modified, options, result.Message,
                                     result.SamplesAdded, result.Lines)
                   : AppendLogSamples(state, fileName, std::move(bytes), modified, result.Message,
                                      result.SamplesAdded, result.Lines);
        if (outcome == TReadOutcome::Cancelled) {
            result.Cancelled = true;
            return result;
        }
        result.HeaderRejected = outcome == TReadOutcome::Rejected;
        result.Loaded = outcome == TReadOutcome::Loaded;
        result.NoData = outcome == TReadOutcome::NoData;
        if (result.Loaded)
            state.OpenFiles.SetValue(
                fileName, error ? std::to_string(size).append(";") : OpenFileValue(size, modified));
    } else if (staged && state.OpenFiles.IndexOf(fileName) >= 0) {
        RemoveLogFile(state, fileName);
    }
    // Smoothing runs whenever the list may have changed: removing an earlier copy of the
    // file joins samples whose smoothed AFR would otherwise be stale.
    SmoothAfr(state.Data, options.AfrSmoothing);
    PlotMafPass(state.Data, options.LHConfig);
    return result;
}

std::string NotLoadedMessage(const std::filesystem::path& path, const TLoadLogResult& result) {
    const std::string name = path.filename().string();
    if (result.Unreadable) return "Cannot read " + name + ": " + result.Message;
    if (result.NoData) return name + " holds no log data";
    return {};
}

std::string SkippedLinesMessage(const std::filesystem::path& path, const TLoadLogResult& result) {
    const TDataLineCounts& lines = result.Lines;
    if (!result.Loaded || lines.Skipped() == 0) return {};
    constexpr std::string_view OutOfRange = "RPM or load out of range";
    constexpr std::string_view Unreadable = "no readable RPM or load value";
    std::string text = path.filename().string() + ": " + std::to_string(lines.Skipped()) + " of " +
                       std::to_string(lines.Read) + (lines.Read == 1 ? " data line" : " data lines") +
                       " skipped: ";
    if (lines.Unreadable == 0) {
        text += OutOfRange;
    } else if (lines.OutOfRange == 0) {
        text += Unreadable;
    } else {
        text += std::to_string(lines.OutOfRange) + " with " + std::string(OutOfRange) + ", " +
                std::to_string(lines.Unreadable) + " with " + std::string(Unreadable);
    }
    return text;
}

bool RemoveLogFile(TLogState& state, std::string_view fileName) {
    const bool listed = state.OpenFiles.IndexOf(fileName) >= 0;
    state.OpenFiles.SetValue(fileName, "");

    auto& files = state.Data.Files;
    std::vector<std::uint32_t> newIndex(files.size());
    constexpr std::uint32_t Removed = UINT32_MAX;
    std::size_t kept = 0;
    for (std::size_t f = 0; f < files.size(); ++f) {
        if (SameFileName(files[f].FileName, fileName)) {
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
