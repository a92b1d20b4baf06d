#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/maps/EngineSetup.h"
#include "core/maps/MapSets.h"

namespace kelvane {

// What the logs of a hand-over ask for: keep the plot's logs, no log at all
// (the plot is closed), or these files.
enum class TLogRequest { NoChange, None, Files };

// The project window's choice, handed to the main window to apply.
struct TPendingSelection {
    std::filesystem::path ProjectFolder;
    std::string SessionName;
    TLogRequest Logs = TLogRequest::NoChange;
    std::vector<std::filesystem::path> LogFiles;  // full paths, for TLogRequest::Files
    std::filesystem::path LHStartingMap;
    TLHMapSource LHMapSource = TLHMapSource::Text;
    std::filesystem::path LHUpdatedMap;
    std::filesystem::path EZKStartingMap;
    TEZKMapSource EZKMapSource = TEZKMapSource::Text;
    std::filesystem::path EZKUpdatedMap;
    TEngineSetup Setup;

    bool operator==(const TPendingSelection&) const = default;
};

// The main window's end of the hand-over: a selection equal to the one last
// received is not applied again, whatever part of it (logs, folders, the four
// maps and their sources, the engine setup) differs otherwise.
class TSelectionHandOver {
  public:
    // True when the selection is new: it is then pending, and the caller
    // posts the message that applies it.
    bool Offer(const TPendingSelection& selection);
    // The pending selection, taken once.
    std::optional<TPendingSelection> Take();
    // The plot no longer shows what was last received (it was closed or
    // replaced elsewhere): the next hand-over is applied whatever it holds.
    void Forget() { FLastReceived.reset(); }
    const std::optional<TPendingSelection>& LastReceived() const { return FLastReceived; }

  private:
    std::optional<TPendingSelection> FPending;
    std::optional<TPendingSelection> FLastReceived;
};

}  // namespace kelvane
