#pragma once

#include <string>
#include <string_view>

#include "core/logdata/FilterSettings.h"
#include "core/maps/EngineSetup.h"
#include "core/maps/MapAxes.h"
#include "core/plot/KnockLimits.h"
#include "core/state/StateChange.h"

namespace kelvane {

struct TKelvaneState;

// The Options window's rules, without the window: how its up-downs step a
// box, how its boxes are read, and what "Cancel" gives back.

// An up-down beside a value box: its step and the limits of the value.
struct TUpDownLimits {
    double Step = 1;
    double Lower = 0;
    double Upper = 0;
};

inline constexpr TUpDownLimits IdleAfrUpDown{0.5, 10, 20};
inline constexpr TUpDownLimits RpmChangeUpDown{100, 0, 6000};
inline constexpr TUpDownLimits MafChangeUpDown{10, 0, 1000};
inline constexpr TUpDownLimits IgnoreTimeUpDown{0.1, 0, 10};
inline constexpr TUpDownLimits KnockCylindersUpDown{1, 0, 8};
inline constexpr TUpDownLimits KnockRetardUpDown{0.5, 0, 10};
// The smoothing boxes' own steps; their up-downs hold them to 1 .. 6.
inline constexpr TUpDownLimits SmoothingUpDown{1, 0, 10};
inline constexpr int MinSmoothing = 1;
inline constexpr int MaxSmoothing = 6;
inline constexpr int MaxPointSize = 25;

// A value box read as a decimal number ("," taken for the point); text that
// is no number counts as 0.
double OptionsBoxNumber(std::string_view text);

// One click of an up-down: the box's number plus or minus one step (not
// snapped to the step grid), held to the limits when it lies more than 0.1
// beyond them, written with one decimal for steps below 0.9, else none.
std::string StepBoxText(std::string_view text, const TUpDownLimits& limits, int direction);

// A typed value held to its up-down's limits.
double ClampToUpDown(double value, const TUpDownLimits& limits);

// The point-size box: an integer (2 when not one), at most 25 and at least 1.
int PointSizeFromBox(std::string_view text);
// The point-size up-down: down gives max(1, size - 1), up size + 1.
int StepPointSize(int size, int direction);

// A smoothing box: an integer (1 when not one) held to 1 .. 6, as its
// up-down holds it. Also how a stored smoothing is read.
int SmoothingFromBox(std::string_view text);
int ClampSmoothing(int smoothing);

// A knock threshold's boxes: cylinders as an integer (1 when not one),
// retard as a decimal number, each held to its up-down's limits.
TKnockLimit KnockLimitFromBoxes(std::string_view cylinders, std::string_view retard);

// The "Filters" page as the user left it.
struct TFilterPage {
    bool FiltersEnabled = true;
    bool MaxAfrEnabled = false;
    std::string MaxAfr;
    bool MaxRpmSlopeEnabled = false;
    std::string MaxRpmSlope;
    bool MaxMafSlopeEnabled = false;
    std::string MaxMafSlope;
    std::string InhibitBefore;
    std::string InhibitAfter;
    bool IncludeIdle = false;
    bool IncludeCruise = true;
    bool IncludeWot = true;
};

// The page as it is filled from a filter set.
TFilterPage FilterPageOf(const TFilterSettings& filters);

// The filter set the page gives. A value the user changed is held to its
// up-down's limits; one that still reads as the current set's value stays
// as it is (a project may hold a limit beyond the up-down's).
TFilterSettings FiltersFromPage(const TFilterPage& page, const TFilterSettings& current);

// The MAF scale range a fuel map configuration starts with.
struct TMafScaleRange {
    int Min = 0;
    int Max = 0;
    bool operator==(const TMafScaleRange&) const = default;
};
TMafScaleRange DefaultMafScale(TLHVersion version, TLHConfig config);

// The engine setup the "LH Version" and "EZK Version" buttons choose: with
// LH 2.2 only "HexaMAF" counts (any other button is MAF) and the EZK version
// stays; with LH 2.3 the chosen button (MAF when none), and "GT" or S4.
TEngineSetup OptionsEngineSetup(bool lh22Chosen, TLHConfig chosenConfig, bool gtChosen,
                                TEZKVersion currentEzk);

// A scale box read as an integer; the fallback stands for text that is no number.
inline constexpr int MinScaleFallback = 0;
inline constexpr int MaxRpmScaleFallback = 6500;
inline constexpr int MaxMafScaleFallback = 540;
int ScaleBoxValue(std::string_view text, int fallback);

// What "Cancel" gives back: the copy taken when the window was shown.
struct TOptionsCancelCopy {
    TPlotRanges PlotLimits;
    int PointSize = 6;
    TFilterSettings Filters;
};

TOptionsCancelCopy TakeOptionsCancelCopy(const TKelvaneState& state);

// Writes the copy back: the scale limits (also into the plot's ranges), the
// point size and the filter set, except its enable flag, which stays as the
// user left it.
TChangeSet RestoreOptionsCancelCopy(TKelvaneState& state, const TOptionsCancelCopy& copy);

}  // namespace kelvane
