#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/state/KelvaneState.h"
#include "core/state/SettingsRecord.h"

namespace kelvane {

inline constexpr std::string_view BaseFuelMapFileName = "Base fuel map.txt";
inline constexpr std::string_view BaseIgnitionMapFileName = "Base EZK map.txt";

// The current session folder: the project folder followed by the session's
// folder name; empty when either is not set.
std::filesystem::path SessionFolder(const TSettings& settings);

// "Updated (stock) fuel map.txt" for a reference read from ".../stock.bin";
// "Updated fuel map.txt" when the reference came from no file.
std::string UpdatedFuelMapName(const std::filesystem::path& referencePath);
// The same with " Ign map.txt".
std::string UpdatedIgnitionMapName(const std::filesystem::path& referencePath);

// A set's updated map is saved, and asked about, only when its adjustments
// were edited and its reference is loaded: without a reference it holds
// nothing of the car's.
bool UpdatedMapToSave(const TFuelMapSet& set);
bool UpdatedMapToSave(const TIgnitionMapSet& set);
// Either set's.
bool UpdatedMapsToSave(const TKelvaneState& state);

// What a save of map files did: the files written and, for each file that
// could not be written, a message naming it and the reason.
struct TMapSaveResult {
    std::vector<std::filesystem::path> Written;
    std::vector<std::string> Errors;
    bool Ok() const { return Errors.empty(); }
};

// Writes the updated map of each set UpdatedMapToSave names into folder, under its updated-map name (an
// existing file of other contents keeps its name and the new one gets a counter). A set's flag is cleared
// only when its file was written.
[[nodiscard]] TMapSaveResult SaveUpdatedMaps(TKelvaneState& state, const std::filesystem::path& folder);

// Writes each loaded reference map that came from no file into folder as its
// base map and makes the file written its reference path. An existing base
// map of other contents is kept (updated maps may have been made from it):
// the new one gets a counter. A map whose file could not be written keeps no
// path.
[[nodiscard]] TMapSaveResult SaveBaseMaps(TKelvaneState& state, const std::filesystem::path& folder);

// The question asked at plot close and at exit, or empty when neither set's
// updated maps are to be saved. It is asked with or without a session folder: no
// adjusted map goes without a word.
std::string SavePromptText(const TKelvaneState& state);

// "No" to the question: the adjustments of each edited set go back to none,
// and both flags are cleared.
void DiscardAdjustments(TKelvaneState& state);

// The reset commands: every fuel factor 1.0 / every ignition adjustment 0,
// the set's flag cleared and its updated map recomputed. The ignition reset
// does nothing with LH 2.2 and then returns false.
void ResetFuelAdjustment(TKelvaneState& state);
bool ResetIgnitionAdjustment(TKelvaneState& state);

}  // namespace kelvane
