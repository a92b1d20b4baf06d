#include "core/shell/StartupClosing.h"

#include <optional>

#include "core/ground/IniKeys.h"
#include "core/shell/SettingsMainFile.h"

namespace kelvane {

bool WriteLayoutAtExit(TIniFile2& main, const TLayoutSettings& layout, const TPlotDisplay& display) {
    bool ok = main.WriteInteger(SettingsSection, DataLogWidthKey, layout.DataLogWidth);
    ok &= main.WriteBool(SettingsSection, DataLogVisibleKey, layout.DataLogVisible);
    ok &= main.WriteInteger(SettingsSection, DataGraphHeightKey, layout.DataGraphHeight);
    ok &= main.WriteBool(SettingsSection, DataGraphVisibleKey, layout.DataGraphVisible);
    ok &= WriteAfrScaleSettings(main, display);
    return ok;
}

TWriteFailures RunClosingSequence(TSettingsStore& store, TSettings& settings, const TClosingValues& values,
                                  const TClosingActions& actions, TDebugLog* log,
                                  const TSettingsHooks& hooks) {
    TIniFile2& main = store.Main();
    TWriteFailures failures;
    const auto noteMain = [&](bool written) {
        if (!written) failures.Add(main);
    };
    // The main file's keys of the whole exit go into one write of it: a large
    // file rewritten once per key kept the exit waiting for seconds.
    std::optional<TIniUpdate> mainUpdate;
    if (values.WriteSettings) mainUpdate.emplace(main);
    if (actions.ClosePlot) actions.ClosePlot();
    if (values.WriteSettings && values.MainWindowSize)
        noteMain(WriteWindowSize(main, MainWindowSection, *values.MainWindowSize));
    if (actions.CloseToolWindows) actions.CloseToolWindows();
    if (values.WriteSettings) {
        // Replaces the section key by key, so a failed write never leaves it empty.
        noteMain(SaveRecentFiles(main, values.RecentFiles));
        // "Folders" comes with the "Filter" and "Adjust" sections below; the
        // settings save and the layout keys touch none of those sections, so the
        // files end up as if each had been written in its own place.
        failures.Add(SaveSettings(store, settings, hooks));
        if (actions.WriteTargetAfrMap) {
            const TMapWriteResult written = actions.WriteTargetAfrMap();
            if (!written.Ok) failures.Add(written.FileName, written.ErrorText);
        }
        noteMain(WriteLayoutAtExit(main, values.Layout, values.PlotDisplay));
        if (actions.WriteColorTable) noteMain(actions.WriteColorTable());
        noteMain(SaveExitValues(main, settings));
        noteMain(mainUpdate->Commit());
    }
    if (actions.StopFolderWorker) actions.StopFolderWorker();
    if (log) {
        log->LogLine("Kelvane Closing");
        log->FlushLog();
    }
    return failures;
}

}  // namespace kelvane
