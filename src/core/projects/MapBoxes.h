#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

// The four map boxes of the project window.
enum class TMapBox { LHStarting, EZKStarting, LHUpdated, EZKUpdated };
inline constexpr std::array<TMapBox, 4> AllMapBoxes{TMapBox::LHStarting, TMapBox::EZKStarting,
                                                    TMapBox::LHUpdated, TMapBox::EZKUpdated};
constexpr std::size_t MapBoxIndex(TMapBox box) {
    return static_cast<std::size_t>(box);
}

// The settings key of a box: the same in project files (defaults offered in
// every session) and session files (the box's text).
std::string_view MapBoxKey(TMapBox box);

// What each box offers: file names of the session folder, then the
// project's defaults.
using TMapBoxChoices = std::array<std::vector<std::string>, 4>;

// Sorts the session's map files into the boxes. A ".txt" name with "Map"
// and without "Run" is an ignition map when it names "EZK", "Ign" or
// "Ignition", otherwise a fuel map when it names "LH" or "Fuel"; it goes into
// the starting box of its kind when it names "starting", "initial" or "base",
// else into the updated box when it names "updated" or "adjusted", and only
// when it is a valid map text file of its kind. Bin images with the EZK
// signature are starting ignition maps, every other ".bin" file a starting
// fuel map. In the program's own updated-map names ("Updated (" + reference
// name + ") ...") the reference's name is not looked at. The non-empty
// defaults are added to their boxes.
TMapBoxChoices ClassifySessionMaps(const std::filesystem::path& sessionFolder,
                                   const std::array<std::string, 4>& projectDefaults = {});

// The file a box's text names: an absolute path as it is, a bare name in the
// session folder; empty for an empty text.
std::filesystem::path MapBoxPath(const std::filesystem::path& sessionFolder, const std::string& text);

}  // namespace kelvane
