#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/maps/BinEZKImage.h"
#include "core/maps/BinLHImage.h"
#include "core/maps/BinMapChooser.h"
#include "core/state/KelvaneState.h"

namespace kelvane {

// The open-file dialog of "Load Map File" and "Compare Map File".
inline constexpr std::string_view MapFileFilter =
    "Map files (*.txt)|*.txt|Bin files (*.bin)|*.bin|All Files (*.*)|*.*";
inline constexpr std::string_view MapFolderKey = "Map Folder";
inline constexpr std::string_view MapFileKey = "Map File";
inline constexpr std::string_view MapFilterKey = "Map Filter";
constexpr int DefaultMapFilter = 1;

// What the window writes back to section "Settings" after a successful load
// or compare of the file chosen with the given filter index.
struct TMapFileSettings {
    std::filesystem::path MapFolder;
    std::filesystem::path MapFile;
    int MapFilter = DefaultMapFilter;
};
TMapFileSettings MapFileSettingsFor(const std::filesystem::path& chosenFile, int filterIndex);

// Notice texts of the bin options dialogs; empty when there is nothing to say.
inline constexpr std::string_view LHAdaptationNotice =
    "Bin-file indicates that adaptation was not disabled. This will prevent sensible fuel-map adjustments.";
inline constexpr std::string_view LHCatWotNotice = "Cat WOT map was NOT zero'ed";
inline constexpr std::string_view LHNoCatWotNotice = "No-cat WOT map was NOT zero'ed";
inline constexpr std::string_view EZKWotNotice =
    "Bin-file indicates that the EZK's WOT map is enabled. This will prevent sensible cruise-map "
    "adjustments.";
std::string LHBinNotice(const TLHbinFile& image);
std::string EZKBinNotice(const TEZKbinFile& image);

// Error texts, with the file name without its folder.
std::string NotValidMapFileText(const std::filesystem::path& path);
std::string NotValidVortrixBinText(const std::filesystem::path& path);
std::string NotValidLHBinText(const std::filesystem::path& path);
std::string NotValidEZKBinText(const std::filesystem::path& path);

// The outcome of a load or compare command; the window shows ErrorText (when
// not empty) in an error box and then does what the flags say.
struct TMapLoadResult {
    bool Ok = false;
    std::string ErrorText;
    bool ShowReferenceValues = false;  // press the plot's reference-values button
    bool UpdateToolButtons = false;    // bring the view and map buttons in line
    bool Refresh = false;              // RefreshMainWindow
};

// A map text file or a bin image into the LH or EZK reference map. Opens the
// bin image as the current image of its kind, which may change the engine
// setup's versions; rebuilds the axes. Reference paths are left alone.
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

// Edit menu items, set when the menu opens.
struct TMenuItemState {
    std::string Caption;
    bool Enabled = false;
};
TMenuItemState CopyMapItem(const TKelvaneState& state);
TMenuItemState PasteMapItem(std::string_view clipboardText);

// The current view's updated map as a clipboard block; empty when that view's
// reference is not loaded.
std::optional<std::string> CopyUpdatedMap(const TKelvaneState& state);

// Whole-map paste into the LH reference (tried first) or the EZK reference.
// The pasted map has no file and no bin source. True when a map block was
// taken (the window then refreshes); false, with nothing changed, otherwise.
bool PasteMap(TKelvaneState& state, std::string_view clipboardText);

}  // namespace kelvane
