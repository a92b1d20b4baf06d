#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/maps/BinMapChooser.h"
#include "core/maps/MapFileTexts.h"
#include "core/state/KelvaneState.h"
#include "core/state/StateChange.h"

namespace kelvane {

// The outcome of a load or compare command; the window shows ErrorText (when
// not empty) in an error box and passes Changes on.
struct TMapLoadResult {
    bool Ok = false;
    std::string ErrorText;
    TChangeSet Changes;
    // For the status bar: cells of an updated map the new reference made
    // hold at a limit, e.g. "Updated fuel map: 3 cells held at the limits
    // (2 at 127, 1 at -127)"; empty when none.
    std::string Notice;
};

// A map text file or a bin image into the LH or EZK reference map. Opens the
// bin image as the current image of its kind, which may change the engine
// setup's versions; rebuilds the axes; on success the plot prints the
// reference values. Reference paths are left alone. A file that is refused,
// and a cancelled bin options dialog, leave the images, the engine setup,
// the axes and the maps exactly as they were.
TMapLoadResult LoadMapFile(TKelvaneState& state, const std::filesystem::path& path, TBinMapChooser& chooser);

// A map text file or a bin image into the LH or EZK updated map, recomputing
// that set's adjustments. Bin images are read privately: the current images,
// the versions and the axes stay as they were.
TMapLoadResult CompareMapFile(TKelvaneState& state, const std::filesystem::path& path,
                              TBinMapChooser& chooser);

// Loaders for remembered paths and sources: no dialogs, no messages. True when
// a map was read.
bool LoadLHReference(TKelvaneState& state, const std::filesystem::path& path, TLHMapSource source);
bool LoadLHUpdatedMap(TKelvaneState& state, const std::filesystem::path& path);
bool LoadEZKReference(TKelvaneState& state, const std::filesystem::path& path, TEZKMapSource source);
bool LoadEZKUpdatedMap(TKelvaneState& state, const std::filesystem::path& path);

}  // namespace kelvane
