#include <cstdio>
#include <memory>
#include <string>

#include "cli/CliCommands.h"
#include "cli/CliLoading.h"
#include "cli/CliOutput.h"
#include "core/adjust/FuelAdjustment.h"
#include "core/adjust/IgnitionAdjustment.h"
#include "core/ground/PathText.h"
#include "core/state/DerivedData.h"
#include "core/state/KelvaneState.h"

namespace kelvane::cli {

int RunAdjustFuel(const TCliOptions& options) {
    auto state = std::make_unique<TKelvaneState>();
    TMapGrid reference{};
    if (!ReadMapTextFile(PathOfText(options.Reference), TMapTextKind::LH, reference)) return 1;
    TMapGrid targetMap{};
    const bool useTargetMap = !options.TargetMap.empty();
    if (useTargetMap && !ReadMapTextFile(PathOfText(options.TargetMap), TMapTextKind::LH, targetMap))
        return 1;

    const bool allRead = LoadLogs(*state, options);
    TFuelMapSet& fuel = state->Fuel;
    fuel.Reference = reference;
    fuel.ReferenceLoaded = true;
    fuel.ReferencePath = PathOfText(options.Reference);
    fuel.Source = options.Source;
    if (useTargetMap) fuel.TargetAfr = targetMap;
    // The source decides the limits, with the LH version.
    state->RecomputeAxes();
    fuel.ResetAdjustments(state->Axes.FuelLimits);
    UpdateDerivedData(*state, {TChange::FuelMaps, TChange::TargetAfr, TChange::Axes});

    TFuelAdjustment adjustment(*state);
    adjustment.Adjust(options.Region, {useTargetMap, options.TargetAfr.value_or(DefaultTargetAfr)});
    if (options.Smooth)
        adjustment.Smooth(options.Region, options.Smooth->Vertical, options.Smooth->Horizontal);

    TOutput out(stdout);
    out.GridBlock("adjustments", fuel.Adjustments);
    out.GridBlock("updated", fuel.Updated);
    out.GridBlock("remainder", fuel.Remainder);
    const bool written = out.Flush();
    return allRead && written ? 0 : 1;
}

int RunAdjustIgnition(const TCliOptions& options) {
    // As the window: limits it refuses change nothing.
    const TIgnitionLimitsCheck limits = CheckIgnitionLimits(options.MaxCylinders, options.MaxRetard);
    if (!limits.Ok) {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(limits.Message.size()), limits.Message.data());
        return 2;
    }
    auto state = std::make_unique<TKelvaneState>();
    TMapGrid reference{};
    if (!ReadMapTextFile(PathOfText(options.Reference), TMapTextKind::EZK, reference)) return 1;

    state->Display.IncludeAdjustments = options.IncludeAdjustments;
    const bool allRead = LoadLogs(*state, options);
    TIgnitionMapSet& ignition = state->Ignition;
    ignition.Reference = reference;
    ignition.ReferenceLoaded = true;
    ignition.ReferencePath = PathOfText(options.Reference);
    ignition.ResetAdjustments();
    UpdateDerivedData(*state, TChange::IgnitionMaps);

    // The window's passes, without the waits between them.
    TIgnitionAdjustment adjustment(*state);
    if (adjustment.Start(options.Region, limits.Limits))
        while (adjustment.Running()) adjustment.RunPass();

    TOutput out(stdout);
    for (const std::string& line : adjustment.StatusLines()) out.Text(line).Line();
    out.GridBlock("adjustments", ignition.Adjustments);
    out.GridBlock("updated", ignition.Updated);
    const bool written = out.Flush();
    return allRead && written ? 0 : 1;
}

}  // namespace kelvane::cli
