#include "core/plot/Readouts.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string_view>

#include "core/ground/PathText.h"
#include "core/plot/KnockEvaluation.h"
#include "core/plot/PlotText.h"
#include "core/plot/PlottedAfr.h"
#include "core/plot/SampleBinner.h"

namespace kelvane {

namespace {

constexpr std::string_view DegreeSign = "\xC2\xB0";
constexpr double NeutralAfr = 14.7;

// A number as it is, without a field: MissingValue prints as nothing.
std::string PlainText(double value, int decimals) {
    return value == MissingValue ? std::string() : FixedText(value, decimals);
}

// A value the log did not supply stays missing through the readout's sums,
// instead of turning into a tiny number that prints as 0.
double Times(double value, double factor) {
    return value == MissingValue ? value : value * factor;
}

double O2Factor(double o2Adjust) {
    return 0.01 * o2Adjust + 1;
}

}  // namespace

std::string WidthText(double value, int width, int decimals) {
    width = std::max(width, 0);
    const auto field = static_cast<std::size_t>(width);
    if (value == MissingValue) return std::string(field, ' ');
    // d decimals take at least d + 2 characters ("0.5"), so start where one could fit.
    for (int d = std::clamp(decimals, 0, std::max(width - 2, 0)); d >= 0; --d) {
        const std::string text = FixedText(value, d);
        if (text.empty()) break;  // not a finite number
        if (text.size() <= field) return std::string(field - text.size(), ' ') + text;
    }
    return std::string(field, '*');
}

std::string StatisticsText(const TCellStatistics& statistics, const TDisplayOptions& options) {
    if (statistics.Count <= 0 || !(options.PlotAfr || options.PlotO2Adj)) return {};
    const bool several = statistics.Count > 1;
    std::string text = several ? "Avg " : "";
    text += options.PlotAfr ? "AFR= " : "Adj= ";
    text += WidthText(statistics.Mean, 4, 1);
    if (several)
        text += "  SDev= " + WidthText(statistics.SDev, 4, 1) + "  N= " + std::to_string(statistics.Count);
    if (options.View == TPlotView::EZK && statistics.MaxKnockCylinders >= 1) {
        text += "\nmax knock: " + std::to_string(statistics.MaxKnockCylinders) +
                " cyls, max=" + PlainText(statistics.MaxKnockRetard, 1);
        text += DegreeSign;
    }
    return text;
}

std::string SelectionStatusText(const TLogData& logData, const TSelection& selection,
                                const TPlotContext& context) {
    if (logData.Empty() || selection.Empty()) return {};
    // Cells picked on the other map's grid name other cells here.
    if (selection.IsCells() && selection.View != context.Options.View) return {};
    if (selection.IsPoints() && selection.Items.size() == 1) {
        const int index = selection.Items.front().SampleIndex;
        if (!ValidSampleIndex(logData, index)) return {};
        return PointReadout(logData, static_cast<std::size_t>(index), context);
    }
    return StatisticsText(SelectionStatistics(logData, selection.Items, context), context.Options);
}

std::string HoverCellText(const TLogData& logData, int row, int column, const TPlotContext& context) {
    return StatisticsText(CellStatistics(logData, row, column, context), context.Options);
}

std::string PointReadout(const TLogData& logData, std::size_t index, const TPlotContext& context) {
    if (index >= logData.Count()) return {};
    const TLogDataEntry& entry = logData[index];
    const TDisplayOptions& options = context.Options;
    double adjustment = FuelAdjustmentAt(entry, context);
    if (adjustment < 0.01) adjustment = 1;

    std::string text;
    double afr = MissingValue;
    const bool valueShown = options.PlotAfr || options.PlotO2Adj;
    if (options.PlotAfr) {
        afr = entry.SmoothedAfr;
        text = "AFR= " + PlainText(afr, 1);
        if (entry.O2Adjust != MissingValue && entry.O2Adjust != 0) {
            afr = Times(afr, O2Factor(entry.O2Adjust));
            text += " + (" + PlainText(entry.O2Adjust, 1) + "% O2adj) = " + PlainText(afr, 1);
        }
    } else if (options.PlotO2Adj) {
        afr = O2Factor(entry.O2Adjust) * NeutralAfr;
        text = "O2adj= " + PlainText(entry.O2Adjust, 1) + "% => AFR= " + PlainText(afr, 1);
    }
    if (valueShown && std::abs(1 - adjustment) > 0.005) {
        if (adjustment > 1)
            text += " + " + FixedText((adjustment - 1) * 100, 0) + "% adjustment = ";
        else
            text += " - " + FixedText((1 - adjustment) * 100, 0) + "% adjustment) = ";
        if (afr != MissingValue) afr /= adjustment;
        text += PlainText(afr, 1);
    }

    const TSampleBinner binner(context);
    constexpr TKnockAdjustment display = TKnockAdjustment::IfIncluded;
    if (IsKnockEvent(logData, index, display, binner)) {
        const int cylinders = KnockCylinderCount(entry, display, binner);
        if (cylinders > 0) {
            if (!text.empty()) text += '\n';
            text += "knock: " + std::to_string(cylinders) +
                    " cyls, max=" + PlainText(MaxKnockRetard(entry, display, binner), 1);
            text += DegreeSign;
            text += " (" + KnockCylinderList(entry, display, context) + ")";
        }
    }
    return text;
}

std::string PointOrigin(const TLogData& logData, std::size_t index) {
    if (index >= logData.Count()) return {};
    const TLogDataEntry& entry = logData[index];
    if (entry.File >= logData.Files.size()) return {};
    std::string text = PathOfText(logData.Files[entry.File].FileName).filename().string();
    const std::string time = PlainText(entry.TimeSec, 2);
    if (!time.empty()) text += "  at " + time + " s";
    return text;
}

std::string CursorValuesText(TPlotView view, double rpm, double load) {
    return "RPM= " + WidthText(rpm, 4, 0) + (view == TPlotView::EZK ? "  Load= " : "  MAF= ") +
           WidthText(load, 3, 0);
}

}  // namespace kelvane
