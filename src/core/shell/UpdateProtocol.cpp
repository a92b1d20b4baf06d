#include "core/shell/UpdateProtocol.h"

#include <algorithm>
#include <charconv>
#include <chrono>

#include "core/ground/FileDefs.h"

namespace kelvane {

namespace {

// Digit limits that keep every version number well inside 64 bits.
constexpr std::size_t MaxMajorDigits = 9;
constexpr std::size_t MaxMinorDigits = 9;
constexpr std::size_t MaxBuildDigits = 15;
constexpr std::int64_t MaxBuildValue = std::int64_t{1} << 60;

constexpr std::string_view VersionMarker = "KelvaneFileVersion=";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// All of text as an unsigned decimal; nothing for anything else or overflow.
template <typename T>
std::optional<T> WholeNumber(std::string_view text) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), IsDigit)) return std::nullopt;
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<TFileListEntry> ParseListLine(std::string_view line) {
    line = TrimBlanks(line);
    std::string_view fields[3];
    for (int i = 0; i < 2; ++i) {
        const std::size_t separator = line.find_first_of(";,");
        if (separator == std::string_view::npos) return std::nullopt;
        fields[i] = TrimBlanks(line.substr(0, separator));
        line.remove_prefix(separator + 1);
    }
    fields[2] = TrimBlanks(line);
    const std::optional<std::uint64_t> size = WholeNumber<std::uint64_t>(fields[2]);
    if (fields[0].empty() || fields[1].empty() || !size || *size == 0) return std::nullopt;
    return TFileListEntry{std::string(fields[0]), std::string(fields[1]), *size};
}

// The time of day after a date: "hh:nn" or "hh:nn:ss", each field in range.
bool ValidTimeOfDay(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty()) return true;
    int limits[3] = {23, 59, 59};
    for (int field = 0; field < 3; ++field) {
        const std::size_t colon = text.find(':');
        const std::string_view digits = text.substr(0, colon);
        const std::optional<int> value = digits.size() <= 2 ? WholeNumber<int>(digits) : std::nullopt;
        if (!value || *value > limits[field]) return false;
        if (colon == std::string_view::npos) return field >= 1;
        text.remove_prefix(colon + 1);
    }
    return false;
}

}  // namespace

TFileList ParseFileList(std::string_view bytes) {
    TFileList list;
    if (bytes.size() > MaxFileListBytes) {
        list.TooLong = true;
        return list;
    }
    while (!bytes.empty()) {
        const std::size_t end = bytes.find_first_of("\r\n");
        if (std::optional<TFileListEntry> entry = ParseListLine(bytes.substr(0, end)))
            list.Entries.push_back(std::move(*entry));
        if (end == std::string_view::npos) break;
        bytes.remove_prefix(end + 1);
    }
    return list;
}

std::optional<std::int64_t> DateVersionDays(std::string_view version) {
    version = TrimBlanks(version);
    const std::size_t blank = version.find(' ');
    const std::string_view date = version.substr(0, blank);
    if (blank != std::string_view::npos && !ValidTimeOfDay(version.substr(blank + 1))) return std::nullopt;
    int fields[3] = {};
    std::string_view rest = date;
    constexpr std::size_t widths[3] = {4, 2, 2};
    for (int i = 0; i < 3; ++i) {
        const std::size_t slash = rest.find('/');
        if ((slash == std::string_view::npos) != (i == 2)) return std::nullopt;
        const std::string_view digits = rest.substr(0, slash);
        const std::optional<int> value = digits.size() <= widths[i] ? WholeNumber<int>(digits) : std::nullopt;
        if (!value) return std::nullopt;
        fields[i] = *value;
        if (slash != std::string_view::npos) rest.remove_prefix(slash + 1);
    }
    using namespace std::chrono;
    const year_month_day day{year{fields[0]}, month{static_cast<unsigned>(fields[1])},
                             std::chrono::day{static_cast<unsigned>(fields[2])}};
    if (fields[0] < 1 || !day.ok()) return std::nullopt;
    const sys_days base{year{1899} / December / 30};
    return (sys_days{day} - base).count();
}

std::int64_t UpdateVersionNumber(std::string_view version) {
    if (version.find('/') != std::string_view::npos) {
        const std::optional<std::int64_t> days = DateVersionDays(version);
        return days && *days > 0 ? *days : 0;
    }
    const std::size_t dot = version.find('.');
    const std::string_view majorText = version.substr(0, dot);
    if (majorText.size() > MaxMajorDigits) return 0;
    const std::optional<std::int64_t> major = WholeNumber<std::int64_t>(majorText);
    if (!major) return 0;
    std::int64_t minor = 0;
    std::int64_t build = 0;
    if (dot != std::string_view::npos) {
        std::size_t at = dot + 1;
        const std::size_t minorStart = at;
        while (at < version.size() && IsDigit(version[at])) ++at;
        if (at - minorStart > MaxMinorDigits) return 0;
        if (at > minorStart) minor = *WholeNumber<std::int64_t>(version.substr(minorStart, at - minorStart));
        if (at < version.size() && version[at] == '.') ++at;
        std::string rest;
        for (std::size_t i = at; i < version.size(); ++i) rest += Upper(version[i]);
        std::string_view tail = rest;
        if (tail.starts_with("BETA")) tail.remove_prefix(4);
        std::size_t digits = 0;
        for (const char c : tail) {
            if (IsDigit(c)) {
                if (++digits > MaxBuildDigits) return 0;
                // Letters before the digits can lift the build past what
                // ten times it fits in: compare before multiplying.
                const std::int64_t digit = (c - '0') * 100;
                if (build > (MaxBuildValue - digit) / 10) return 0;
                build = build * 10 + digit;
            } else if (c >= 'A' && c <= 'Z') {
                build += c - 'A' + 1;
            }
            if (build > MaxBuildValue) return 0;
        }
    }
    return *major * 1000000 + minor * 10000 + build;
}

std::optional<std::string> SafeUpdatePath(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.front() == '\\') return std::nullopt;
    std::string path;
    std::string_view rest = name;
    while (true) {
        const std::size_t separator = rest.find_first_of("/\\");
        const std::string_view segment = rest.substr(0, separator);
        if (segment.empty() || segment == "." || segment == "..") return std::nullopt;
        for (const char c : segment)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return std::nullopt;
        // IsValidFileName also refuses ":" and so every drive letter.
        if (!IsValidFileName(segment)) return std::nullopt;
        path.append(segment);
        if (separator == std::string_view::npos) return path;
        path += '/';
        rest.remove_prefix(separator + 1);
    }
}

TUpdateDecision DecideUpdate(std::string_view listedVersion, std::string_view installedVersion) {
    const std::int64_t listed = UpdateVersionNumber(listedVersion);
    if (listed <= 0) return TUpdateDecision::RefuseInvalidVersion;
    if (installedVersion.empty()) return TUpdateDecision::Fetch;
    const std::int64_t installed = UpdateVersionNumber(installedVersion);
    if (listed == installed) return TUpdateDecision::SkipSameVersion;
    if (listed < installed) return TUpdateDecision::SkipInstalledNewer;
    return TUpdateDecision::Fetch;
}

std::optional<std::string> UpdateFileAddress(std::string_view server, std::string_view folder,
                                             std::string_view name) {
    server = TrimBlanks(server);
    std::string scheme = "http://";
    std::string lower;
    for (const char c : server.substr(0, 8))
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (lower.starts_with("https://")) {
        scheme = "https://";
        server.remove_prefix(8);
    } else if (lower.starts_with("http://")) {
        server.remove_prefix(7);
    } else if (server.find("://") != std::string_view::npos) {
        return std::nullopt;
    }
    while (server.ends_with('/')) server.remove_suffix(1);
    if (server.empty()) return std::nullopt;
    while (folder.starts_with('/')) folder.remove_prefix(1);
    while (folder.ends_with('/')) folder.remove_suffix(1);
    std::string address = scheme + std::string(server) + "/";
    if (!folder.empty()) address += std::string(folder) + "/";
    for (const char c : name) {
        if (c == ' ')
            address += "%20";
        else if (c == '%')
            address += "%25";
        else if (c == '#')
            address += "%23";
        else
            address += c;
    }
    return address;
}

std::string UpdateSummaryText(int updated, int pending) {
    std::string text = "Check complete";
    if (updated == 1)
        text += ", 1 file updated";
    else if (updated > 1)
        text += ", " + std::to_string(updated) + "files updated";
    if (pending == 1)
        text += ", 1 update pending";
    else if (pending > 1)
        text += ", " + std::to_string(pending) + " updates pending";
    if (updated == 0 && pending == 0) text += ", all files are current";
    return text;
}

std::string EmbeddedVersionText(std::string_view bytes) {
    for (std::size_t at = bytes.find(VersionMarker); at != std::string_view::npos;
         at = bytes.find(VersionMarker, at + 1)) {
        std::size_t end = at + VersionMarker.size();
        const std::size_t start = end;
        while (end < bytes.size() && end - start < 32 && (IsDigit(bytes[end]) || bytes[end] == '.')) ++end;
        // The scanner's own copy of the marker has no version after it.
        if (end > start && IsDigit(bytes[start]) && (end == bytes.size() || bytes[end] == '\0'))
            return std::string(bytes.substr(start, end - start));
    }
    return {};
}

}  // namespace kelvane
