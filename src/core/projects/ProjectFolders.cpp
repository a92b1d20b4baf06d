#include "core/projects/ProjectFolders.h"

#include <algorithm>
#include <ctime>
#include <unordered_map>

#include "core/ground/FileDefs.h"
#include "core/ground/FileNameCase.h"
#include "core/ground/PathText.h"
#include "core/ground/Platform.h"
#include "core/logdata/LogFileReader.h"

namespace kelvane {

namespace {

namespace fs = std::filesystem;

bool HasTxtExtension(std::string_view name) {
    return name.size() >= 4 && SameTextIgnoringCase(name.substr(name.size() - 4), ".txt");
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Trimmed(std::string_view text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    return std::string(text.substr(begin, end - begin));
}

}  // namespace

bool IsLogFileName(std::string_view name) {
    return HasTxtExtension(name) && ContainsText("run", name) > 0;
}

bool IsWatchedLogName(std::string_view name) {
    return HasTxtExtension(name) && name.size() >= 3 && SameTextIgnoringCase(name.substr(0, 3), "run");
}

std::vector<std::string> FolderFileNames(const fs::path& folder, std::string* failure) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError)) names.push_back(it->path().filename().string());
    }
    if (error) {
        names.clear();
        if (failure) *failure = "Cannot read the folder " + folder.string() + ": " + error.message();
    }
    return names;
}

bool HoldsLogs(const fs::path& folder) {
    const std::vector<std::string> names = FolderFileNames(folder);
    return std::any_of(names.begin(), names.end(),
                       [](const std::string& name) { return IsLogFileName(name); });
}

bool IsProjectFolder(const fs::path& folder) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (it->is_directory(typeError) && HoldsLogs(it->path())) return true;
    }
    return false;
}

std::string NameOrderKey(std::string_view name) {
    std::string key;
    key.reserve(name.size() + 1);
    for (const char c : name) {
        if (c == '\'' || c == ' ') continue;
        key += c == '#' ? '\xBF' : c;
    }
    // "Run7.txt" has its first "." in the fifth place.
    if (key.size() >= 5 && SameTextIgnoringCase(key.substr(0, 3), "run") && key.find('.') == 4)
        key.insert(3, 1, '0');
    return key;
}

bool NameLess(std::string_view a, std::string_view b) {
    const std::string keyA = NameOrderKey(a);
    const std::string keyB = NameOrderKey(b);
    const auto folded = [](char c) { return static_cast<unsigned char>(LowerAscii(c)); };
    const std::size_t common = std::min(keyA.size(), keyB.size());
    for (std::size_t i = 0; i < common; ++i)
        if (folded(keyA[i]) != folded(keyB[i])) return folded(keyA[i]) < folded(keyB[i]);
    if (keyA.size() != keyB.size()) return keyA.size() < keyB.size();
    // Equal but for case: a small letter comes first.
    for (std::size_t i = 0; i < common; ++i)
        if (keyA[i] != keyB[i]) return keyA[i] > keyB[i];
    return false;
}

void SortNames(std::vector<std::string>& names) {
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return NameLess(a, b); });
}

std::vector<std::string> SessionNames(const fs::path& projectFolder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(projectFolder, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) names.push_back(it->path().filename().string());
    }
    SortNames(names);
    return names;
}

std::vector<std::string> SessionLogNames(const fs::path& sessionFolder, std::string* failure) {
    std::vector<std::string> names = FolderFileNames(sessionFolder, failure);
    std::erase_if(names, [](const std::string& name) { return !IsLogFileName(name); });
    SortNames(names);
    return names;
}

fs::path SessionPath(const fs::path& projectFolder, std::string_view sessionName) {
    if (projectFolder.empty() || sessionName.empty()) return {};
    return FolderKey(projectFolder) / PathOfText(sessionName);
}

fs::path FolderKey(const fs::path& folder) {
    fs::path key = folder.lexically_normal();
    while (!key.has_filename() && key.has_relative_path()) key = key.parent_path();
    return key;
}

std::string FolderName(const fs::path& folder) {
    return FolderKey(folder).filename().string();
}

std::string DateSessionName(int year, unsigned month, unsigned day) {
    return ZeroPad(year, 4) + "-" + ZeroPad(month, 2) + "-" + ZeroPad(day, 2);
}

std::string TodaySessionName() {
    const std::time_t now = std::time(nullptr);
    const std::tm local = platform::LocalTime(now).value_or(std::tm{});
    return DateSessionName(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                           static_cast<unsigned>(local.tm_mday));
}

namespace {

// A NUL would cut the folder's name short and other control characters cannot be
// typed or shown: names holding any are refused.
bool HoldsControlCharacter(std::string_view name) {
    return std::any_of(name.begin(), name.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\x7F'; });
}

}  // namespace

std::string UniqueSessionName(const fs::path& projectFolder, const std::string& name) {
    // Every " #n" of a name the system cuts short would name the same folder.
    if (HoldsControlCharacter(name)) return {};
    std::error_code error;
    if (!fs::exists(projectFolder / PathOfText(name), error)) return name;
    std::string stem = name;
    int number = 2;
    // A name that already ends in " #n" counts on from n.
    if (const std::size_t mark = name.rfind(" #"); mark != std::string::npos && mark + 2 < name.size()) {
        const std::string digits = name.substr(mark + 2);
        if (digits.size() <= 6 &&
            std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            stem = name.substr(0, mark);
            number = std::stoi(digits) + 1;
        }
    }
    // Bounded all the same: a folder that says every name exists ends the search.
    for (int tries = 0; tries < MaxSessionNameTries; ++tries, ++number) {
        const std::string candidate = stem + " #" + std::to_string(number);
        if (!fs::exists(projectFolder / PathOfText(candidate), error)) return candidate;
    }
    return {};
}

bool CreateSessionFolder(const fs::path& projectFolder, const std::string& name, std::string& error,
                         const std::function<void(const fs::path&)>& flush) {
    std::error_code code;
    fs::create_directories(projectFolder / name, code);
    if (code) {
        error = code.message();
        return false;
    }
    if (flush)
        flush(projectFolder);
    else
        platform::FlushFolder(projectFolder);
    return true;
}

TSessionNameCheck CheckSessionName(const fs::path& projectFolder, const std::string& name) {
    if (name.empty()) return TSessionNameCheck::Empty;
    if (!IsValidFileName(name) || HoldsControlCharacter(name)) return TSessionNameCheck::BadCharacters;
    if (name.find_first_not_of('.') == std::string::npos) return TSessionNameCheck::DotName;
    std::error_code error;
    if (fs::exists(projectFolder / PathOfText(name), error)) return TSessionNameCheck::Exists;
    return TSessionNameCheck::Ok;
}

std::string SessionNameRetryPrompt(TSessionNameCheck check) {
    switch (check) {
        case TSessionNameCheck::BadCharacters:
            return "Session name (avoid the characters /\\:*?\"<>|)";
        case TSessionNameCheck::DotName:
            return "Session name (\".\" and \"..\" name no new folder)";
        case TSessionNameCheck::Exists:
            return "Duplicate name! New session name:";
        default:
            return "New Session name:";
    }
}

std::string FileSignature(const fs::path& path) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error) return {};
    const fs::file_time_type modified = fs::last_write_time(path, error);
    if (error) return {};
    return OpenFileValue(size, modified);
}

std::vector<std::string> SplitNameList(std::string_view text,
                                       const std::function<bool(const std::string&)>& known,
                                       std::size_t maxSeparators) {
    // The pieces between separators, each with the separator that ended it.
    std::vector<std::string_view> pieces;
    std::vector<char> separators;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ',' || text[i] == ';') {
            pieces.push_back(text.substr(start, i - start));
            separators.push_back(i < text.size() ? text[i] : '\0');
            start = i + 1;
        }
    }

    std::vector<std::string> names;
    std::string joined;
    for (std::size_t i = 0; i < pieces.size();) {
        std::size_t taken = 1;
        std::string name = Trimmed(pieces[i]);
        joined.clear();
        // A join of more pieces than the names' separators allow names nothing:
        // each piece is tried with a bounded run after it, so the list reads in
        // time in step with its length.
        const std::size_t last = std::min(pieces.size() - 1, i + std::min(maxSeparators, pieces.size()));
        for (std::size_t j = i; j <= last; ++j) {
            if (j > i) joined += separators[j - 1];
            joined += pieces[j];
            // The name as written first: one may end in a blank.
            std::string candidate = known(joined) ? joined : Trimmed(joined);
            if (known(candidate)) {
                taken = j - i + 1;
                name = std::move(candidate);
                break;
            }
        }
        if (!name.empty()) names.push_back(std::move(name));
        i += taken;
    }
    return names;
}

std::string OpenFilesKeyText(const std::vector<std::string>& listed, const std::vector<bool>& ticked) {
    std::string text;
    bool all = true, any = false;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const bool on = i < ticked.size() && ticked[i];
        all = all && on;
        if (!on) continue;
        if (any) text += ',';
        text += listed[i];
        any = true;
    }
    if (listed.empty() || all) return {};
    return any ? text : std::string(NoLogsTicked);
}

std::optional<std::vector<bool>> TicksFromOpenFilesKey(std::string_view text,
                                                       const std::vector<std::string>& listed) {
    if (text.empty()) return std::nullopt;
    std::vector<bool> ticks(listed.size(), false);
    std::unordered_map<std::string, std::size_t> indexOf;
    std::size_t maxSeparators = 0;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        indexOf.emplace(listed[i], i);
        const std::string& name = listed[i];
        maxSeparators = std::max<std::size_t>(
            maxSeparators, static_cast<std::size_t>(std::count_if(
                               name.begin(), name.end(), [](char c) { return c == ',' || c == ';'; })));
    }
    const auto known = [&](const std::string& name) { return indexOf.contains(name); };
    for (const std::string& name : SplitNameList(text, known, maxSeparators))
        if (const auto found = indexOf.find(name); found != indexOf.end()) ticks[found->second] = true;
    return ticks;
}

}  // namespace kelvane
