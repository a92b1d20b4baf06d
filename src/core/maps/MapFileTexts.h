#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/maps/BinEZKImage.h"
#include "core/maps/BinLHImage.h"

namespace kelvane {

// The open-file dialog of "Load Map File" and "Compare Map File".
inline constexpr std::string_view MapFileFilter =
    "Map files (*.txt)|*.txt|Bin files (*.bin)|*.bin|All Files (*.*)|*.*";
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

// Error texts, with the file name without its folder. A file that cannot be read
// says so and why, as the log reader does ("Cannot read Run3.txt: Permission denied").
std::string UnreadableFileText(const std::filesystem::path& path, std::string_view reason);
std::string NotValidMapFileText(const std::filesystem::path& path);
std::string NotValidVortrixBinText(const std::filesystem::path& path);
std::string NotValidLHBinText(const std::filesystem::path& path);
std::string NotValidEZKBinText(const std::filesystem::path& path);

}  // namespace kelvane
