#include "core/plot/KnockEvaluation.h"

#include <algorithm>

namespace kelvane {

namespace {

// Retard values from 20 degrees up are the ECU's way of saying "no reading".
constexpr double RetardCeiling = 20;
constexpr double KnockThreshold = 0.1;

bool HasRetard(const TLogDataEntry& entry) {
    return entry.KnockRetard[0] != MissingValue;
}

bool ReadsRetard(double retard) {
    return retard != MissingValue && retard < RetardCeiling;
}

bool Knocks(double retard, double adjustment) {
    return ReadsRetard(retard) && retard + adjustment > KnockThreshold;
}

}  // namespace

double KnockAdjustmentAt(const TLogDataEntry& entry, TKnockAdjustment adjustmentMode,
                         const TSampleBinner& binner) {
    const TPlotContext& context = binner.Context();
    if (adjustmentMode == TKnockAdjustment::IfIncluded && !context.Options.IncludeAdjustments) return 0;
    const TCell cell = binner.Cell(entry, TPlotView::EZK);
    return context.IgnitionAdjustment.At(cell.Row, cell.Column);
}

bool TKnockEventTest::With(double adjustment) const {
    if (Kind != Retard) return Kind == Always;
    // Adding is monotone: the largest grown retard knocks exactly when any grown one does.
    return LargestGrownRetard + adjustment > KnockThreshold;
}

TKnockEventTest KnockEventTest(const TLogData& logData, std::size_t index) {
    if (index == 0 || index >= logData.Count()) return {};
    const TLogDataEntry& entry = logData[index];
    const TLogDataEntry& prev = logData[index - 1];
    if (!entry.Included) return {};
    if (!HasRetard(entry)) {
        // A missing counter on either side says nothing about knocking.
        if (entry.KnockCount == MissingInteger || prev.KnockCount == MissingInteger) return {};
        return {prev.KnockCount < entry.KnockCount ? TKnockEventTest::Always : TKnockEventTest::Never, 0};
    }
    TKnockEventTest test;
    for (int k = 0; k < KnockCylinders; ++k) {
        const double retard = entry.KnockRetard[k];
        if (!(retard > prev.KnockRetard[k]) || !ReadsRetard(retard)) continue;
        if (test.Kind == TKnockEventTest::Never || retard > test.LargestGrownRetard)
            test = {TKnockEventTest::Retard, retard};
    }
    return test;
}

bool IsKnockEvent(const TLogData& logData, std::size_t index, TKnockAdjustment adjustmentMode,
                  const TSampleBinner& binner) {
    const TKnockEventTest test = KnockEventTest(logData, index);
    // Only a cylinder whose retard grew can make this an event; the adjustment
    // (a cell lookup) is fetched for those alone.
    if (test.Kind != TKnockEventTest::Retard) return test.Kind == TKnockEventTest::Always;
    return test.With(KnockAdjustmentAt(logData[index], adjustmentMode, binner));
}

int KnockCylinderCountWith(const TLogDataEntry& entry, double adjustment) {
    if (!HasRetard(entry)) return 0;
    int count = 0;
    for (double retard : entry.KnockRetard)
        if (Knocks(retard, adjustment)) ++count;
    return count;
}

double MaxKnockRetardWith(const TLogDataEntry& entry, double adjustment) {
    if (!HasRetard(entry)) return 0;
    double largest = 0;
    for (double retard : entry.KnockRetard)
        if (ReadsRetard(retard)) largest = std::max(largest, retard + adjustment);
    return largest;
}

int KnockCylinderCount(const TLogDataEntry& entry, TKnockAdjustment adjustmentMode,
                       const TSampleBinner& binner) {
    if (!HasRetard(entry)) return 0;
    return KnockCylinderCountWith(entry, KnockAdjustmentAt(entry, adjustmentMode, binner));
}

namespace {

std::string CylinderList(const TLogDataEntry& entry, TKnockAdjustment adjustmentMode,
                         const TSampleBinner& binner) {
    std::string list;
    if (!HasRetard(entry)) return list;
    const double adjustment = KnockAdjustmentAt(entry, adjustmentMode, binner);
    for (int k = 0; k < KnockCylinders; ++k) {
        if (!Knocks(entry.KnockRetard[k], adjustment)) continue;
        if (!list.empty()) list += ',';
        list += static_cast<char>('1' + k);
    }
    return list;
}

}  // namespace

double MaxKnockRetard(const TLogDataEntry& entry, TKnockAdjustment adjustmentMode,
                      const TSampleBinner& binner) {
    if (!HasRetard(entry)) return 0;
    return MaxKnockRetardWith(entry, KnockAdjustmentAt(entry, adjustmentMode, binner));
}

double KnockAdjustmentAt(const TLogDataEntry& entry, TKnockAdjustment adjustmentMode,
                         const TPlotContext& context) {
    return KnockAdjustmentAt(entry, adjustmentMode, TSampleBinner(context));
}

bool IsKnockEvent(const TLogData& logData, std::size_t index, TKnockAdjustment adjustmentMode,
                  const TPlotContext& context) {
    return IsKnockEvent(logData, index, adjustmentMode, TSampleBinner(context));
}

int KnockCylinderCount(const TLogDataEntry& entry, TKnockAdjustment adjustmentMode,
                       const TPlotContext& context) {
    return KnockCylinderCount(entry, adjustmentMode, TSampleBinner(context));
}

std::string KnockCylinderList(const TLogDataEntry& entry, TKnockAdjustment adjustmentMode,
                              const TPlotContext& context) {
    return CylinderList(entry, adjustmentMode, TSampleBinner(context));
}

double MaxKnockRetard(const TLogDataEntry& entry, TKnockAdjustment adjustmentMode,
                      const TPlotContext& context) {
    return MaxKnockRetard(entry, adjustmentMode, TSampleBinner(context));
}

}  // namespace kelvane
