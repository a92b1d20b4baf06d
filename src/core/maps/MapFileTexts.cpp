#include "core/maps/MapFileTexts.h"

#include <algorithm>
#include <cctype>

namespace kelvane {

namespace {

bool HasExtension(const std::filesystem::path& path, std::string_view lowerExtension) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == lowerExtension;
}

std::string QuotedNameText(const std::filesystem::path& path, std::string_view tail) {
    return "File \"" + path.filename().string() + "\" " + std::string(tail);
}

}  // namespace

bool IsMapTextPath(const std::filesystem::path& path) {
    return HasExtension(path, ".txt");
}

bool IsBinPath(const std::filesystem::path& path) {
    return HasExtension(path, ".bin");
}

TMapFileSettings MapFileSettingsFor(const std::filesystem::path& chosenFile, int filterIndex) {
    return TMapFileSettings{chosenFile.parent_path(), chosenFile, filterIndex};
}

std::string LHBinNotice(const TLHbinFile& image) {
    std::string notice;
    const auto addLine = [&notice](std::string_view line) {
        if (!notice.empty()) notice += '\n';
        notice += line;
    };
    if (!image.AdaptationDisabled()) addLine(LHAdaptationNotice);
    TWotMap wot{};
    if (image.ReadCatWotMap(wot) && !TLHbinFile::WotMapZeroed(wot)) addLine(LHCatWotNotice);
    wot = {};
    if (image.ReadNoCatWotMap(wot) && !TLHbinFile::WotMapZeroed(wot)) addLine(LHNoCatWotNotice);
    return notice;
}

std::string EZKBinNotice(const TEZKbinFile& image) {
    return image.WotMapDisabled() ? std::string() : std::string(EZKWotNotice);
}

std::string NotValidMapFileText(const std::filesystem::path& path) {
    return QuotedNameText(path, "is not a valid map file");
}

std::string NotValidVortrixBinText(const std::filesystem::path& path) {
    return QuotedNameText(path, "is not a valid Vortrix bin-file.");
}

std::string NotValidLHBinText(const std::filesystem::path& path) {
    return QuotedNameText(path, "is not a valid LH bin-file.");
}

std::string NotValidEZKBinText(const std::filesystem::path& path) {
    return QuotedNameText(path, "is not a valid EZK bin-file.");
}

}  // namespace kelvane
