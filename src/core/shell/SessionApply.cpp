#include "core/shell/SessionApply.h"

#include <algorithm>

#include "core/ground/FileNameCase.h"
#include "core/maps/MapText.h"
#include "core/projects/ProjectFolders.h"
#include "core/shell/MapLoading.h"
#include "core/shell/TargetAfrMapHooks.h"
#include "core/state/PlotRanges.h"

namespace kelvane {

namespace fs = std::filesystem;

namespace {

// A file the plot holds as it is on disk now.
bool OpenAndUnchanged(const TKelvaneState& state, const fs::path& path) {
    const int index = state.Logs.OpenFiles.IndexOf(path.string());
    return index >= 0 && state.Logs.OpenFiles.ValueAt(static_cast<std::size_t>(index)) == FileSignature(path);
}

TSettingsHooks SettingsHooksFor(TKelvaneState& state, bool withTargetMap) {
    TSettingsHooks hooks;
    // A target AFR map edited and not saved is kept rather than read over.
    if (withTargetMap) hooks = TargetAfrMapHooks(state);
    hooks.SetupAxes = [&state](const TEngineSetup&) { state.RecomputeAxes(); };
    return hooks;
}

void AddFiles(std::vector<std::pair<fs::path, TLoadLogResult>>& to,
              std::vector<std::pair<fs::path, TLoadLogResult>>&& from) {
    for (auto& file : from) to.push_back(std::move(file));
}

// Text maps have no source: a source chosen in the window for a text map
// must not read it again (and reset its adjustments) at every hand-over.
template <class TSource>
TSource EffectiveSource(const fs::path& path, TSource source) {
    return HasMapTextExtension(path) ? TSource{} : source;
}

// Ignition-only logs are shown over the ignition map, fuel logs over the
// fuel map.
bool FollowLogColumns(TKelvaneState& state) {
    if (state.Logs.Data.Empty()) return false;
    const TColumnSet& columns = state.Logs.ColumnPresent;
    TPlotView& view = state.Display.View;
    if (view == TPlotView::EZK && !columns[ColLoad]) {
        view = TPlotView::LH;
        return true;
    }
    if (view == TPlotView::LH && columns[ColLoad] && !columns[ColMafSignal] && !columns[ColMapPressure]) {
        view = TPlotView::EZK;
        return true;
    }
    return false;
}

}  // namespace

TSessionApplyResult ApplySessionSelection(TKelvaneState& state, TSettingsStore& store,
                                          const TPendingSelection& selection,
                                          const TSessionApplyActions& actions) {
    TSessionApplyResult result;
    TChangeSet& changes = result.Changes;
    bool changed = false;  // more than the maps: the plot is fitted again

    TSettings& settings = state.Settings;
    const fs::path currentProject =
        settings.ProjectFolder.empty() ? fs::path() : FolderKey(settings.ProjectFolder);
    const fs::path project =
        selection.ProjectFolder.empty() ? currentProject : FolderKey(selection.ProjectFolder);
    const std::string session = selection.SessionName.empty() ? settings.SessionName : selection.SessionName;
    const bool projectChanges = project != currentProject;
    const bool sessionChanges =
        SessionPath(project, session) != SessionPath(currentProject, settings.SessionName);

    const bool closes =
        selection.Logs == TLogRequest::None || (selection.Logs == TLogRequest::Files && sessionChanges);
    if (closes && actions.SaveBeforeClose && !actions.SaveBeforeClose()) return result;
    result.Applied = true;

    // The project left keeps its own settings: written before the plot close
    // puts the stored filters back and before the new engine setup is taken.
    if (projectChanges) {
        result.SettingsFailures.Add(SaveSettings(store, settings, SettingsHooksFor(state, true)));
        changes |= TChange::TargetAfr;
    }

    if (closes) {
        changes |= CloseLogs(state);
        if (selection.Logs == TLogRequest::Files) changes |= ClearMapsAndConfiguration(state);
        result.PlotClosed = changed = true;
    } else if (selection.Logs == TLogRequest::Files) {
        std::vector<std::string> dropped;
        for (std::size_t i = 0; i < state.Logs.OpenFiles.Count(); ++i) {
            const std::string name = state.Logs.OpenFiles.Name(i);
            const bool ticked =
                std::any_of(selection.LogFiles.begin(), selection.LogFiles.end(),
                            [&name](const fs::path& file) { return SameFileName(file.string(), name); });
            if (!ticked) dropped.push_back(name);
        }
        for (const std::string& name : dropped) changes |= CloseLogFile(state, name);
        changed = changed || !dropped.empty();
    }

    if (!project.empty() && (projectChanges || result.PlotClosed || settings.ProjectName.empty())) {
        settings.ProjectFolder = project;
        settings.ProjectName = FolderName(project);
        LoadSettings(store, settings, TSettingsLoad::Project,
                     SettingsHooksFor(state, !state.Fuel.TargetEdited));
        changes |= TChangeSet{TChange::Settings, TChange::Filters, TChange::TargetAfr, TChange::Axes};
        changed = true;
    }

    if (selection.Setup != state.Setup()) {
        state.Setup() = selection.Setup;
        changes |= SetUpForEngineSetup(state);
        changed = true;
    }

    if (selection.Logs == TLogRequest::Files) {
        std::vector<fs::path> toRead;
        for (const fs::path& file : selection.LogFiles)
            if (!OpenAndUnchanged(state, file)) toRead.push_back(file);
        if (!toRead.empty()) {
            TOpenLogsOptions options;
            options.Read = actions.Read;
            TOpenLogsResult opened = OpenLogs(state, toRead, options);
            changes |= opened.Changes;
            AddFiles(result.Files, std::move(opened.Files));
            changed = true;
        }
    }

    bool mapsLoaded = false;
    const TLHMapSource lhSource = EffectiveSource(selection.LHStartingMap, selection.LHMapSource);
    if (!selection.LHStartingMap.empty() &&
        (selection.LHStartingMap != state.Fuel.ReferencePath || lhSource != state.Fuel.Source)) {
        LoadLHReference(state, selection.LHStartingMap, lhSource);
        mapsLoaded = true;
    }
    if (!selection.LHUpdatedMap.empty() && selection.LHUpdatedMap != state.Fuel.UpdatedPath) {
        LoadLHUpdatedMap(state, selection.LHUpdatedMap);
        mapsLoaded = true;
    }
    const TEZKMapSource ezkSource = EffectiveSource(selection.EZKStartingMap, selection.EZKMapSource);
    if (!selection.EZKStartingMap.empty() &&
        (selection.EZKStartingMap != state.Ignition.ReferencePath || ezkSource != state.Ignition.Source)) {
        LoadEZKReference(state, selection.EZKStartingMap, ezkSource);
        mapsLoaded = changed = true;  // its image may bring its own RPM axis
    }
    if (!selection.EZKUpdatedMap.empty() && selection.EZKUpdatedMap != state.Ignition.UpdatedPath) {
        LoadEZKUpdatedMap(state, selection.EZKUpdatedMap);
        mapsLoaded = true;
    }
    if (mapsLoaded) {
        state.RecomputeAxes();
        changes |= TChangeSet{TChange::FuelMaps, TChange::IgnitionMaps, TChange::Axes};
    }

    if (!selection.SessionName.empty() && selection.SessionName != settings.SessionName) {
        settings.SessionName = selection.SessionName;
        changes |= TChange::Settings;
    }
    if (FollowLogColumns(state)) {
        changes |= TChange::Display;
        changed = true;
    }
    if (changed) {
        state.PlotRanges = RestingPlotRanges(state);
        changes |= TChange::PlotRanges;
    }
    result.WatchFolder = SessionPath(settings.ProjectFolder, settings.SessionName);
    return result;
}

TQueuedLogsResult ReadQueuedLogs(TKelvaneState& state, const std::vector<fs::path>& queued, TQueuedLogs which,
                                 const TLogFileRead& read) {
    TQueuedLogsResult result;
    const fs::path session = SessionPath(state.Settings.ProjectFolder, state.Settings.SessionName);
    if (session.empty()) return result;
    std::vector<fs::path> toRead;
    for (const fs::path& file : queued) {
        if (!SameFileName(FolderKey(file.parent_path()).string(), session.string())) continue;
        const bool open = state.Logs.OpenFiles.IndexOf(file.string()) >= 0;
        if (which == TQueuedLogs::ChangedOpenOnly && !open) continue;
        if (OpenAndUnchanged(state, file)) continue;
        if (std::find(toRead.begin(), toRead.end(), file) == toRead.end()) toRead.push_back(file);
    }
    if (toRead.empty()) return result;
    TOpenLogsOptions options;
    options.Read = read;
    TOpenLogsResult opened = OpenLogs(state, toRead, options);
    result.Changes = opened.Changes;
    result.Files = std::move(opened.Files);
    return result;
}

}  // namespace kelvane
