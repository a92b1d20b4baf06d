#include "core/plot/LogGrids.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "core/ground/SettingsValues.h"
#include "core/plot/Readouts.h"

namespace kelvane {

namespace {

std::string Trimmed(const std::string& text) {
    return std::string(TrimBlanks(text));
}

constexpr std::string_view MafWindowSizing = "99999";

std::string IntegerText(int value) {
    return std::to_string(value);
}

}  // namespace

std::string TimeSizingText(const TLogData& logData) {
    std::string widest = "999.99";
    double longest = 0, lowest = 0;
    for (const TLogDataEntry& entry : logData.Entries) {
        if (entry.TimeSec == MissingValue || !std::isfinite(entry.TimeSec)) continue;
        longest = std::max(longest, entry.TimeSec);
        lowest = std::min(lowest, entry.TimeSec);
    }
    for (const double time : {longest, lowest}) {
        std::string text = FormatNumber(time, 2);
        // Digits differ in width in some fonts: the widest case is all nines.
        std::replace_if(
            text.begin(), text.end(), [](char c) { return c >= '0' && c <= '8'; }, '9');
        if (text.size() > widest.size()) widest = text;
    }
    return widest;
}

std::vector<TLogGridColumn> MainGridColumns(const TColumnSet& present, TLHConfig config) {
    const auto has = [&](TLogColumn column) { return present[column] != 0; };
    const bool map = config == TLHConfig::Map;
    std::vector<TLogGridColumn> columns{
        {"Time", "999.99", true},
        {"RPM", "9999", has(ColRpm)},
        // A MAP log may carry only "MAP [kPa]"; its values are this column's then.
        {map ? "MAP" : "MAF", config == TLHConfig::Alpha ? "999" : "9999",
         has(ColMafSignal) || (map && has(ColMapPressure))},
        {map ? "MAP%" : "MAF%", "MAF%", has(ColMafPercent)},
        {"AFR", "14.1", has(ColAfr)},
        {"O2adj", "O2Adj", has(ColO2Adjust)},
        {"InjPW", "InjPW", has(ColInjPulseWidth)},
        {"Inj%", "Inj%", has(ColInjDutyCycle)},
        {"Th", "Th", has(ColThrottle)},
        {"Load", "Load", has(ColLoad)},
        {"Kct", "Kct", has(ColKnockCount)},
    };
    for (int cylinder = 1; cylinder <= KnockCylinders; ++cylinder) {
        const std::string header = "KR" + std::to_string(cylinder);
        columns.push_back({header, header, has(ColKnockRetard)});
    }
    return columns;
}

std::string MainGridText(const TLogDataEntry& entry, int column, TLHConfig config) {
    switch (column) {
        case 0:
            return FormatNumber(entry.TimeSec, 2);
        case 1:
            return FormatNumber(entry.Rpm, 0);
        case 2:
            if (config == TLHConfig::Map) return Trimmed(WidthText(entry.MapPressure, 4, 1));
            return FormatNumber(entry.MafSignal, 0);
        case 3:
            return FormatNumber(entry.MafPercent, 0);
        case 4:
            return FormatNumber(entry.SmoothedAfr, 1);
        case 5:
            return FormatNumber(entry.O2Adjust, 1);
        case 6:
            return FormatNumber(entry.InjPulseWidth, 2);
        case 7:
            return FormatNumber(entry.InjDutyCycle, 0);
        case 8:
            return entry.ThrottleSwitch >= 0 ? IntegerText(entry.ThrottleSwitch) : std::string();
        case 9:
            return FormatNumber(entry.Load, 0);
        case 10:
            return IntegerText(entry.KnockCount);
        default:
            break;
    }
    const int cylinder = column - 11;
    if (cylinder < 0 || cylinder >= KnockCylinders) return {};
    return FormatNumber(entry.KnockRetard[static_cast<std::size_t>(cylinder)], 1);
}

std::vector<TLogGridColumn> LogWindowColumns() {
    // MAF signals run past 999 (2200 with VX-Alpha): the column takes any 16-bit reading.
    return {{"Time", "9999.99", true},     {"RPM", "9999", true}, {"MAF", std::string(MafWindowSizing), true},
            {"O2adj", "O2adj", true},      {"AFR", "14.1", true}, {"AFR**", "AFR*", true},
            {"Throttle", "Throttle", true}};
}

std::string LogWindowText(const TLogDataEntry& entry, int column) {
    switch (column) {
        case 0:
            return Trimmed(WidthText(entry.TimeSec, 8, 2));
        case 1:
            return Trimmed(WidthText(entry.Rpm, 5, 0));
        case 2:
            return Trimmed(WidthText(entry.MafSignal, static_cast<int>(MafWindowSizing.size()), 0));
        case 3:
            return Trimmed(WidthText(entry.O2Adjust, 5, 1));
        case 4:
            return Trimmed(WidthText(entry.SmoothedAfr, 4, 1));
        case 5:
            return Trimmed(WidthText(entry.Afr, 4, 1));
        case 6:
            return IntegerText(entry.ThrottleSwitch);
        default:
            return {};
    }
}

int GridTopSampleShowing(int sample, int topSample, int visibleRows) {
    if (sample >= topSample && sample < topSample + std::max(visibleRows, 1)) return topSample;
    // Row sample + 1 of a grid whose row 0 is the header; its top row is at least 1.
    return std::max(1, sample - visibleRows / 2) - 1;
}

int LogWindowTopSample(std::size_t marked) {
    return static_cast<int>(std::max<std::size_t>(1, marked)) - 1;
}

int LogPanelWidth(int panelWidth, int gridClientWidth, const std::vector<int>& shownColumnWidths,
                  int mainClientWidth) {
    int total = 0;
    for (const int width : shownColumnWidths) total += width + 1;
    if (total < gridClientWidth) return panelWidth - (gridClientWidth - total);
    if (total > gridClientWidth) {
        const int wanted = std::min(total, static_cast<int>(std::lround(0.4 * mainClientWidth)));
        return panelWidth + std::max(0, wanted - gridClientWidth);
    }
    return panelWidth;
}

}  // namespace kelvane
