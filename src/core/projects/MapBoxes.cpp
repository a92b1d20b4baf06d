#include "core/projects/MapBoxes.h"

#include <algorithm>

#include "core/ground/FileDefs.h"
#include "core/ground/FileNameCase.h"
#include "core/ground/IniKeys.h"
#include "core/ground/PathText.h"
#include "core/maps/BinEZKImage.h"
#include "core/maps/MapText.h"
#include "core/projects/ProjectFolders.h"

namespace kelvane {

namespace {

bool HasExtension(std::string_view name, std::string_view extension) {
    return name.size() >= extension.size() &&
           SameTextIgnoringCase(name.substr(name.size() - extension.size()), extension);
}

bool NamesAny(std::string_view name, std::initializer_list<std::string_view> words) {
    return std::any_of(words.begin(), words.end(),
                       [name](std::string_view word) { return ContainsText(word, name) > 0; });
}

// The program's own updated maps are named "Updated (" + reference name +
// ") fuel map.txt": the reference's name (often "Base fuel map") says
// nothing about the file's own kind and role.
std::string RoleName(const std::string& name) {
    if (name.size() < 9 || !SameTextIgnoringCase(name.substr(0, 9), "Updated (")) return name;
    const std::size_t close = name.find(')', 9);
    if (close == std::string::npos) return name;
    return "Updated" + name.substr(close + 1);
}

void Offer(std::vector<std::string>& box, const std::string& name) {
    if (std::find(box.begin(), box.end(), name) == box.end()) box.push_back(name);
}

}  // namespace

std::string_view MapBoxKey(TMapBox box) {
    switch (box) {
        case TMapBox::LHStarting:
            return LHStartingMapFileKey;
        case TMapBox::EZKStarting:
            return EZKStartingMapFileKey;
        case TMapBox::LHUpdated:
            return LHUpdatedMapFileKey;
        case TMapBox::EZKUpdated:
            return EZKUpdatedMapFileKey;
    }
    return {};
}

TMapBoxChoices ClassifySessionMaps(const std::filesystem::path& sessionFolder,
                                   const std::array<std::string, 4>& projectDefaults) {
    TMapBoxChoices boxes;
    std::vector<std::string> names = FolderFileNames(sessionFolder);
    SortNames(names);
    for (const std::string& name : names) {
        const std::filesystem::path path = sessionFolder / PathOfText(name);
        if (HasExtension(name, ".bin")) {
            const TMapBox box = TEZKbinFile::IsEZKbinFile(path) ? TMapBox::EZKStarting : TMapBox::LHStarting;
            Offer(boxes[MapBoxIndex(box)], name);
            continue;
        }
        const std::string role = RoleName(name);
        if (!HasExtension(name, ".txt") || !NamesAny(role, {"Map"}) || NamesAny(name, {"Run"})) continue;
        const bool ignition = NamesAny(role, {"EZK", "Ign", "Ignition"});
        if (!ignition && !NamesAny(role, {"LH", "Fuel"})) continue;
        TMapBox box;
        if (NamesAny(role, {"starting", "initial", "base"})) {
            box = ignition ? TMapBox::EZKStarting : TMapBox::LHStarting;
        } else if (NamesAny(role, {"updated", "adjusted"})) {
            box = ignition ? TMapBox::EZKUpdated : TMapBox::LHUpdated;
        } else {
            continue;
        }
        if (ignition ? IsEZKMapText(path) : IsLHMapText(path)) Offer(boxes[MapBoxIndex(box)], name);
    }
    for (const TMapBox box : AllMapBoxes) {
        const std::string& fallback = projectDefaults[MapBoxIndex(box)];
        if (!fallback.empty()) Offer(boxes[MapBoxIndex(box)], fallback);
    }
    return boxes;
}

std::filesystem::path MapBoxPath(const std::filesystem::path& sessionFolder, const std::string& text) {
    if (text.empty()) return {};
    const std::filesystem::path path = PathOfText(text);
    if (path.is_absolute()) return path;
    return sessionFolder / path;
}

}  // namespace kelvane
