#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/ground/DebugLog.h"
#include "core/ground/SettingsValues.h"
#include "core/ground/WriteFailures.h"
#include "core/maps/MapText.h"
#include "core/shell/Settings.h"
#include "core/shell/SettingsWindows.h"

namespace kelvane {

// What the exit writes besides the settings record.
struct TClosingValues {
    std::optional<TWindowSize> MainWindowSize;  // nothing: "Window Size" is left alone
    std::vector<std::filesystem::path> RecentFiles;
    TLayoutSettings Layout;
    TPlotDisplay PlotDisplay;  // the AFR scale legend as the plot holds it
    // False for a second copy of the program: the running copy owns the
    // settings, so nothing is written; the plot is still closed, the tool
    // windows and the folder worker stopped and the log flushed.
    bool WriteSettings = true;
};

// The steps of the exit that belong to windows and other parts, called in
// their place in the order. Any may be left empty.
struct TClosingActions {
    std::function<void()> ClosePlot;                     // with its save prompt for adjusted maps
    std::function<void()> CloseToolWindows;              // log data, map and options windows
    std::function<TMapWriteResult()> WriteTargetAfrMap;  // common root + "TargetAFRmap.txt"
    std::function<bool()> WriteColorTable;               // into the main settings file
    std::function<void()> StopFolderWorker;
};

// The exit's writes in their order: plot closed, "Window Size" of "Main
// Window", tool windows closed, "Recent Files", "Folders", the settings save,
// the target AFR map, the layout keys of "Settings", the colour table, the
// "Filter" and "Adjust" sections, the folder worker stopped, "Kelvane
// Closing" logged and the log flushed. Goes on past failures and returns the
// files it could not write, each with the reason.
[[nodiscard]] TWriteFailures RunClosingSequence(TSettingsStore& store, TSettings& settings,
                                                const TClosingValues& values, const TClosingActions& actions,
                                                TDebugLog* log, const TSettingsHooks& hooks = {});

// The layout keys the exit writes, the AFR scale legend's among them. The
// "Startup Window" key is not among them: the start-up window writes it.
[[nodiscard]] bool WriteLayoutAtExit(TIniFile2& main, const TLayoutSettings& layout,
                                     const TPlotDisplay& display);

}  // namespace kelvane
