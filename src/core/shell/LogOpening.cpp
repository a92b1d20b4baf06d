#include "core/shell/LogOpening.h"

#include <algorithm>

#include "core/logdata/AfrSmoothing.h"
#include "core/logdata/PlotMafPass.h"
#include "core/shell/TargetAfrMapHooks.h"
#include "core/state/PlotRanges.h"

namespace kelvane {

namespace {

// The file dialogs hand over full paths; a relative name is made full the
// same way, so that the caption groups files by their folder alike.
std::filesystem::path FullPath(const std::filesystem::path& file) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(file, error);
    return error ? file : full.lexically_normal();
}

void ReloadSettings(TKelvaneState& state, TSettingsStore& store) {
    TSettingsHooks hooks;
    // A target AFR map edited in this run and not yet saved is kept rather
    // than read over from its file.
    if (!state.Fuel.TargetEdited) hooks = TargetAfrMapHooks(state);
    LoadSettings(store, state.Settings, TSettingsLoad::Startup, hooks);
}

}  // namespace

std::vector<std::filesystem::path> LogOpenOrder(const std::vector<std::filesystem::path>& files) {
    std::vector<std::filesystem::path> ordered;
    ordered.reserve(files.size());
    for (const auto& file : files) ordered.push_back(FullPath(file));
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto& a, const auto& b) { return a.native() < b.native(); });
    return ordered;
}

TOpenLogsResult OpenLogs(TKelvaneState& state, const std::vector<std::filesystem::path>& files,
                         const TOpenLogsOptions& options) {
    TOpenLogsResult result;
    if (options.ChosenSetup) state.Setup() = *options.ChosenSetup;
    const TLogFileRead read = options.Read ? options.Read : TLogFileRead(LoadLogFile);
    const TLHConfig readWith = state.Setup().LHConfig;
    for (const std::filesystem::path& path : LogOpenOrder(files)) {
        TLoadLogOptions loadOptions;
        loadOptions.AfrSmoothing = state.Settings.AfrSmoothing;
        loadOptions.LHConfig = state.Setup().LHConfig;
        TLoadLogResult loaded = read(state.Logs, path, loadOptions);
        const bool cancelled = loaded.Cancelled;
        if (loaded.Loaded) {
            result.AnyLoaded = true;
            if (options.AddToRecentFiles) AddRecentFile(state.Settings.RecentFiles, path);
        }
        result.Files.emplace_back(path, std::move(loaded));
        if (cancelled) {
            result.Cancelled = true;
            break;
        }
    }

    if (options.Store) ReloadSettings(state, *options.Store);
    if (options.ChosenSetup) state.Setup() = *options.ChosenSetup;
    // A file may have been read before the stored setup was known, so its
    // PlotMaf may have been made for another LH configuration.
    if (state.Setup().LHConfig != readWith) PlotMafPass(state.Logs.Data, state.Setup().LHConfig);
    result.Changes = SetUpAxes(state) | TChange::Samples | TChange::Settings | TChange::Filters |
                     TChange::TargetAfr | TChange::PlottedValues;
    AutoScalePlot(state, state.PlotRanges);
    return result;
}

TChangeSet CloseLogFile(TKelvaneState& state, const std::string& fileName) {
    if (!RemoveLogFile(state.Logs, fileName)) return {};
    // Neighbours across the gap now smooth with each other.
    SmoothAfr(state.Logs.Data, state.Settings.AfrSmoothing);
    PlotMafPass(state.Logs.Data, state.Setup().LHConfig);
    return TChangeSet{TChange::Samples, TChange::Selection};
}

TChangeSet SetUpAxes(TKelvaneState& state) {
    state.RecomputeAxes();
    // In the automatic scale mode the plot fits the samples on the new axes.
    state.PlotRanges = RestingPlotRanges(state);
    TChangeSet changes = TChange::Axes | TChange::PlotRanges;
    // LH 2.2 has no ignition ECU, so no EZK view: the cells selected on that
    // grid go with it when the change arrives.
    if (state.Setup().LHVersion == TLHVersion::LH22 && state.Display.View == TPlotView::EZK) {
        state.Display.View = TPlotView::LH;
        changes |= TChange::Display;
    }
    return changes;
}

TChangeSet SetUpForEngineSetup(TKelvaneState& state) {
    if (state.Logs.Data.Empty()) return SetUpAxes(state);
    PlotMafPass(state.Logs.Data, state.Setup().LHConfig);
    return SetUpAxes(state) | TChange::Filters;
}

TChangeSet CloseLogs(TKelvaneState& state) {
    state.Settings.SessionName.clear();
    ClearLogState(state.Logs);
    state.PlotRanges = SettingsPlotRanges(state);
    state.Settings.ActiveFilters = state.Settings.StoredFilters;
    return TChangeSet{TChange::Samples, TChange::Filters, TChange::PlotRanges, TChange::Settings,
                      TChange::Selection};
}

TChangeSet ClearMapsAndConfiguration(TKelvaneState& state) {
    TMapGrid target = state.Fuel.TargetAfr;
    const bool targetEdited = state.Fuel.TargetEdited;
    state.Fuel = TFuelMapSet{};
    state.Fuel.TargetAfr = target;
    state.Fuel.TargetEdited = targetEdited;
    state.Ignition = TIgnitionMapSet{};
    state.LHImage = TCurrentLHImage{};
    state.EZKImage = TCurrentEZKImage{};
    state.Setup() = TEngineSetup{};
    return SetUpAxes(state) | TChange::FuelMaps | TChange::IgnitionMaps;
}

}  // namespace kelvane
