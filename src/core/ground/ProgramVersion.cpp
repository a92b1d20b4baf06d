#include "core/ground/ProgramVersion.h"

#include <vector>

namespace kelvane {

namespace {

#define KELVANE_TEXT(x) #x
#define KELVANE_NUMBER_TEXT(x) KELVANE_TEXT(x)
// The version as it stands in the program file, so that the update check can
// read the version of a downloaded program as it reads the running one's.
[[gnu::used]] constexpr char VersionMarker[] =
    "KelvaneFileVersion=" KELVANE_NUMBER_TEXT(KELVANE_VERSION_MAJOR) "." KELVANE_NUMBER_TEXT(
        KELVANE_VERSION_MINOR) "." KELVANE_NUMBER_TEXT(KELVANE_VERSION_PATCH) "." KELVANE_NUMBER_TEXT(KELVANE_VERSION_TWEAK);
#undef KELVANE_NUMBER_TEXT
#undef KELVANE_TEXT

std::vector<std::string_view> SplitAtDots(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = text.find('.', start);
        fields.push_back(
            text.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start));
        if (dot == std::string_view::npos) return fields;
        start = dot + 1;
    }
}

}  // namespace

std::string RawProgramVersion() {
    return std::to_string(KELVANE_VERSION_MAJOR) + "." + std::to_string(KELVANE_VERSION_MINOR) + "." +
           std::to_string(KELVANE_VERSION_PATCH) + "." + std::to_string(KELVANE_VERSION_TWEAK);
}

std::string FormatVersionText(std::string_view version) {
    // A version resource string carries its closing zero; it is not part of the text.
    if (!version.empty() && version.back() == '\0') version.remove_suffix(1);
    std::vector<std::string_view> fields = SplitAtDots(version);
    if (fields.size() == 4) fields.erase(fields.begin() + 2);
    if (fields.size() != 3) return std::string(version);
    std::string third(fields[2]);
    if (third.size() < 3) third.insert(0, 3 - third.size(), '0');
    return std::string(fields[0]) + "." + std::string(fields[1]) + "." + third;
}

std::string ProgramVersionText() {
    return FormatVersionText(RawProgramVersion());
}

}  // namespace kelvane
