#include "core/logdata/LogLineParser.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/logdata/LogNumbers.h"

namespace kelvane {

namespace {

constexpr double SecondsToDays = 1.1574074074074073e-05;

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

}  // namespace

double SampleTimeStamp(double baseTime, double timeSec) {
    return baseTime + timeSec * SecondsToDays;
}

std::size_t TLineReader::ShortestSampleLine() const {
    int reach = std::max(RpmColumn, 0);
    if (TestLoad) {
        int load = -1;
        for (int column : {MafColumn, MapColumn})
            if (column >= 0 && (load < 0 || column < load)) load = column;
        reach = std::max(reach, load);
    }
    return static_cast<std::size_t>(reach) + 1;  // the TABs before the column and a digit in it
}

bool TLineReader::MayHoldSample(const char* line, const char* lineEnd) const {
    // The value the parser would store: a column the line does not reach keeps MissingValue.
    const auto value = [&](int column) {
        if (column < 0) return MissingValue;
        const char* p = line;
        for (int c = 0; c < column; ++c) {
            p = SkipLogField(p, lineEnd);
            if (p == lineEnd) return MissingValue;
            ++p;  // the TAB
        }
        double number = 0;
        ReadLogNumberField(p, lineEnd, Separator, number);
        return number;
    };
    const double rpm = value(RpmColumn);
    if (rpm <= 0.1 || rpm >= 10000) return false;
    if (!TestLoad) return true;
    const double maf = value(MafColumn);
    if (maf > 0.1 && maf < 10000) return true;
    const double map = value(MapColumn);
    return map > 0.1 && map < 1000;
}

TLineReader MakeLineReader(const TLogHeader& header, char separator) {
    TLineReader reader;
    reader.Separator = separator;
    reader.Plan = PlanColumns(header);
    reader.TestLoad = header.Has(FieldMafSignal) || header.Has(FieldMapPressure);
    reader.RpmColumn = header.ColumnOf[FieldRpm];
    reader.MafColumn = header.ColumnOf[FieldMafSignal];
    reader.MapColumn = header.ColumnOf[FieldMapPressure];
    return reader;
}

TParsedLines ParseLogLines(TSampleChunk& entries, const char* begin, const char* end,
                           const TLineReader& reader, const TLinePlace& place) {
    TParsedLines parsed;
    const char separator = reader.Separator;
    const std::size_t columns = reader.Plan.size();
    bool firstLine = place.FirstLineOfFile;
    const char* p = begin;
    while (p < end) {
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
        e.RawOffset = place.FileOffset + static_cast<std::uint64_t>(lineStart - begin);
        e.RawLength = static_cast<std::uint32_t>(p - lineStart);
        const char* const lineEnd = p;
        p = SkipLineEnd(p, end);
        e.File = place.FileIndex;
        e.FirstOfFile = firstLine ? 1 : 0;  // spent on the first line even when it is dropped
        firstLine = false;
        e.TimeStamp = SampleTimeStamp(place.BaseTime, e.TimeSec);

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
    return parsed;
}

}  // namespace kelvane
