#include "core/shell/OptionsRules.h"

#include <algorithm>
#include <cmath>

#include "core/ground/SettingsValues.h"
#include "core/state/KelvaneState.h"
#include "core/state/PlotRanges.h"

namespace kelvane {

namespace {

// Values within this of a limit count as on it, so that a box stepped from
// a value off the step grid still reaches the limit's own text.
constexpr double LimitSlack = 0.1;

// A typed value that reads as the current one was not changed by the user.
double Changed(const std::string& text, double current, const TUpDownLimits& limits) {
    const double value = OptionsBoxNumber(text);
    if (FormatNumber(value, 6) == FormatNumber(current, 6)) return current;
    return ClampToUpDown(value, limits);
}

}  // namespace

double OptionsBoxNumber(std::string_view text) {
    const double value = ParseNumber(text, TDecimalComma::Accepted, 0.0);
    return std::isfinite(value) ? value : 0.0;
}

std::string StepBoxText(std::string_view text, const TUpDownLimits& limits, int direction) {
    double value = OptionsBoxNumber(text) + (direction >= 0 ? limits.Step : -limits.Step);
    if (value > limits.Upper + LimitSlack) value = limits.Upper;
    if (value < limits.Lower - LimitSlack) value = limits.Lower;
    return FormatNumber(value, limits.Step < 0.9 ? 1 : 0);
}

double ClampToUpDown(double value, const TUpDownLimits& limits) {
    if (!std::isfinite(value)) return limits.Lower;
    return std::clamp(value, limits.Lower, limits.Upper);
}

int PointSizeFromBox(std::string_view text) {
    // Not bounded below by the box itself: a size below 1 would draw nothing.
    return std::clamp(ParseInteger(text, MinPlotPointSize), 1, MaxPointSize);
}

int StepPointSize(int size, int direction) {
    return direction < 0 ? std::max(1, size - 1) : size + 1;
}

int ClampSmoothing(int smoothing) {
    return std::clamp(smoothing, MinSmoothing, MaxSmoothing);
}

int SmoothingFromBox(std::string_view text) {
    return ClampSmoothing(ParseInteger(text, 1));
}

TKnockLimit KnockLimitFromBoxes(std::string_view cylinders, std::string_view retard) {
    TKnockLimit limit;
    limit.MaxCylinders = static_cast<int>(ClampToUpDown(ParseInteger(cylinders, 1), KnockCylindersUpDown));
    limit.MaxRetard = ClampToUpDown(OptionsBoxNumber(retard), KnockRetardUpDown);
    return limit;
}

TFilterPage FilterPageOf(const TFilterSettings& filters) {
    TFilterPage page;
    page.FiltersEnabled = filters.FiltersEnabled;
    page.MaxAfrEnabled = filters.MaxAfrEnabled;
    page.MaxAfr = FormatNumber(filters.MaxAfr, 1);
    page.MaxRpmSlopeEnabled = filters.MaxRpmSlopeEnabled;
    page.MaxRpmSlope = FormatNumber(filters.MaxRpmSlope, 0);
    page.MaxMafSlopeEnabled = filters.MaxMafSlopeEnabled;
    page.MaxMafSlope = FormatNumber(filters.MaxMafSlope, 0);
    page.InhibitBefore = FormatNumber(filters.InhibitBefore, 1);
    page.InhibitAfter = FormatNumber(filters.InhibitAfter, 1);
    page.IncludeIdle = filters.IncludeIdle;
    page.IncludeCruise = filters.IncludeCruise;
    page.IncludeWot = filters.IncludeWot;
    return page;
}

TFilterSettings FiltersFromPage(const TFilterPage& page, const TFilterSettings& current) {
    TFilterSettings filters;
    filters.FiltersEnabled = page.FiltersEnabled;
    filters.MaxAfrEnabled = page.MaxAfrEnabled;
    filters.MaxAfr = Changed(page.MaxAfr, current.MaxAfr, IdleAfrUpDown);
    filters.MaxRpmSlopeEnabled = page.MaxRpmSlopeEnabled;
    filters.MaxRpmSlope = Changed(page.MaxRpmSlope, current.MaxRpmSlope, RpmChangeUpDown);
    filters.MaxMafSlopeEnabled = page.MaxMafSlopeEnabled;
    filters.MaxMafSlope = Changed(page.MaxMafSlope, current.MaxMafSlope, MafChangeUpDown);
    filters.InhibitBefore = Changed(page.InhibitBefore, current.InhibitBefore, IgnoreTimeUpDown);
    filters.InhibitAfter = Changed(page.InhibitAfter, current.InhibitAfter, IgnoreTimeUpDown);
    filters.IncludeIdle = page.IncludeIdle;
    filters.IncludeCruise = page.IncludeCruise;
    filters.IncludeWot = page.IncludeWot;
    return filters;
}

TMafScaleRange DefaultMafScale(TLHVersion version, TLHConfig config) {
    if (version == TLHVersion::LH22)
        return config == TLHConfig::HexaMaf ? TMafScaleRange{56, 560} : TMafScaleRange{56, 1096};
    switch (config) {
        case TLHConfig::HexaMaf:
            return {23, 250};
        case TLHConfig::Alpha:
            return {88, 2200};
        case TLHConfig::Map:
            return {20, 253};
        default:
            return {26, 550};
    }
}

TEngineSetup OptionsEngineSetup(bool lh22Chosen, TLHConfig chosenConfig, bool gtChosen,
                                TEZKVersion currentEzk) {
    TEngineSetup setup;
    if (lh22Chosen) {
        setup.LHVersion = TLHVersion::LH22;
        setup.LHConfig = chosenConfig == TLHConfig::HexaMaf ? TLHConfig::HexaMaf : TLHConfig::Maf;
        setup.EZKVersion = currentEzk;
    } else {
        setup.LHVersion = TLHVersion::LH23;
        setup.LHConfig = chosenConfig == TLHConfig::Unset ? TLHConfig::Maf : chosenConfig;
        setup.EZKVersion = gtChosen ? TEZKVersion::GT : TEZKVersion::S4;
    }
    return setup;
}

int ScaleBoxValue(std::string_view text, int fallback) {
    return ParseInteger(text, fallback);
}

TOptionsCancelCopy TakeOptionsCancelCopy(const TKelvaneState& state) {
    return {state.Settings.PlotLimits, state.Settings.PlotPointSize, state.Settings.ActiveFilters};
}

TChangeSet RestoreOptionsCancelCopy(TKelvaneState& state, const TOptionsCancelCopy& copy) {
    TSettings& settings = state.Settings;
    settings.PlotLimits = copy.PlotLimits;
    state.PlotRanges.MinRpm = copy.PlotLimits.MinRpm;
    state.PlotRanges.MaxRpm = copy.PlotLimits.MaxRpm;
    state.PlotRanges.MinLoad = copy.PlotLimits.MinLoad;
    state.PlotRanges.MaxLoad = copy.PlotLimits.MaxLoad;
    settings.PlotPointSize = copy.PointSize;
    const bool enabled = settings.ActiveFilters.FiltersEnabled;
    settings.ActiveFilters = copy.Filters;
    settings.ActiveFilters.FiltersEnabled = enabled;
    return TChangeSet{TChange::Filters, TChange::PlotRanges, TChange::Settings};
}

}  // namespace kelvane
