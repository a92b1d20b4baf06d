#include "core/maps/MapFileTexts.h"

namespace kelvane {

namespace {

std::string QuotedNameText(const std::filesystem::path& path, std::string_view tail) {
    return "File \"" + path.filename().string() + "\" " + std::string(tail);
}

}  // namespace

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

std::string UnreadableFileText(const std::filesystem::path& path, std::string_view reason) {
    return "Cannot read " + path.filename().string() + ": " + std::string(reason);
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
