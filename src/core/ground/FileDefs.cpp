#include "core/ground/FileDefs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "core/ground/AtomicFile.h"
#include "core/ground/PathText.h"
#include "core/ground/Platform.h"
#include "core/ground/ProgramVersion.h"

namespace kelvane {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t ReadBlockSize = 8192;
constexpr std::string_view InvalidFileNameChars = "/\\:*?\"<>|";

// ---- Reading ----

// Which file a read should use, after removing the older of a file and its
// alternative.
fs::path ResolveReadName(const fs::path& path) {
    const fs::path alt = AlternativeFileName(path);
    if (alt.empty() || alt == path) return path;
    std::error_code error;
    if (!fs::exists(alt, error)) return path;
    if (fs::exists(path, error)) {
        const auto pathTime = fs::last_write_time(path, error);
        if (error) return path;
        const auto altTime = fs::last_write_time(alt, error);
        if (error) return path;
        if (pathTime >= altTime) {
            fs::remove(alt, error);
            return path;
        }
        fs::remove(path, error);
    }
    return alt;
}

// Splits at CR, dropping one LF right after a CR even when the two fall into
// different blocks. Opened without waiting on a pipe or a device, which are refused.
bool ReadLinesFrom(const fs::path& path, std::vector<std::string>& lines) {
    platform::TReadOnlyFile file;
    std::string reason;
    if (!file.Open(path, reason)) return false;
    std::vector<char> block(ReadBlockSize);
    std::string current;
    bool afterCr = false;
    bool anyText = false;
    for (std::uint64_t offset = 0; offset < file.Size();) {
        const std::int64_t read = file.ReadAt(offset, block.data(), block.size());
        if (read < 0) return false;
        if (read == 0) break;
        offset += static_cast<std::uint64_t>(read);
        std::string_view rest(block.data(), static_cast<std::size_t>(read));
        if (afterCr && rest.front() == '\n') rest.remove_prefix(1);
        afterCr = false;
        while (!rest.empty()) {
            const std::size_t cr = rest.find('\r');
            if (cr == std::string_view::npos) {
                current.append(rest);
                anyText = true;
                break;
            }
            current.append(rest.substr(0, cr));
            lines.push_back(std::move(current));
            current.clear();
            anyText = false;
            rest.remove_prefix(cr + 1);
            if (rest.empty()) {
                afterCr = true;
            } else if (rest.front() == '\n') {
                rest.remove_prefix(1);
            }
        }
    }
    if (anyText) lines.push_back(std::move(current));
    return true;
}

std::string Quoted(const fs::path& path) {
    return "\"" + path.string() + "\"";
}

std::string FormatLocal(TDateTime dateTime, TDateTimePrecision precision) {
    const std::time_t seconds =
        std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(dateTime));
    const std::optional<std::tm> maybeLocal = platform::LocalTime(seconds);
    if (!maybeLocal) return {};
    const std::tm& local = *maybeLocal;
    std::string text = ZeroPad(local.tm_year + 1900, 4) + "/" + ZeroPad(local.tm_mon + 1, 2) + "/" +
                       ZeroPad(local.tm_mday, 2) + " " + ZeroPad(local.tm_hour, 2) + ":" +
                       ZeroPad(local.tm_min, 2);
    if (precision == TDateTimePrecision::Seconds) text += ":" + ZeroPad(local.tm_sec, 2);
    return text;
}

bool IsBlankOrControl(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code == ' ' || code <= 25;
}

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

// ---- Alternative file names ----

bool IsAlternativeFileName(const fs::path& path) {
    const std::string extension = path.extension().string();
    return extension.size() >= 3 && extension[1] == '(' && extension.back() == ')';
}

fs::path AlternativeFileName(const fs::path& path) {
    if (IsAlternativeFileName(path)) return path;
    const std::string extension = path.extension().string();
    if (extension.size() < 2) return {};
    fs::path alt = path;
    alt.replace_extension(PathOfText(".(" + extension.substr(1) + ")"));
    return alt;
}

// ---- Reading and writing ----

bool ReadFileLines(const fs::path& path, std::vector<std::string>& lines) {
    lines.clear();
    const fs::path name = ResolveReadName(path);
    std::error_code error;
    if (!fs::is_regular_file(name, error) || !ReadLinesFrom(name, lines)) {
        lines.clear();
        return false;
    }
    return true;
}

bool ReadFileText(const fs::path& path, std::string& text) {
    text.clear();
    const fs::path name = ResolveReadName(path);
    std::error_code error;
    if (!fs::is_regular_file(name, error)) return false;
    if (!ReadWholeFile(name, text)) {
        text.clear();
        return false;
    }
    // The alternative holds the enciphered form; its content is handed over
    // but does not count as a successful read.
    return !IsAlternativeFileName(name);
}

bool WriteFileText(const fs::path& path, std::string_view text, const TLogCallback& log) {
    if (IsAlternativeFileName(path)) return false;
    std::string errorText;
    if (WriteFileAtomically(path, text, &errorText)) return true;
    if (log) log("Exception in WriteFile (from stream): " + errorText);
    return false;
}

bool WriteFileLines(const fs::path& path, const std::vector<std::string>& lines, const TLogCallback& log) {
    if (IsAlternativeFileName(path)) return false;
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return WriteFileText(path, text, log);
}

bool RenameFileLogged(const fs::path& from, const fs::path& to, std::string_view tag,
                      const TLogCallback& log) {
    const std::string prefix = tag.empty() ? std::string() : std::string(tag) + ": ";
    const auto logLine = [&](const std::string& text) {
        if (log) log(prefix + text);
    };
    std::error_code error;
    if (!fs::exists(fs::symlink_status(from, error))) return true;

    const std::string both = Quoted(from) + " to " + Quoted(to);
    if (platform::RenameNoReplace(from, to)) {
        logLine("File Rename OK: " + both);
        return true;
    }
    logLine("File Rename failed: " + both);
    if (!platform::IsReadOnly(from)) return false;

    logLine("File is set to read-only: " + Quoted(from));
    if (platform::MakeWritable(from)) {
        logLine("File attributes changed to NORMAL: " + Quoted(from));
    } else {
        logLine(" ERROR: File attributes change FAILED: " + Quoted(from) +
                " Error Code = " + std::to_string(errno));
    }
    if (platform::RenameNoReplace(from, to)) {
        logLine("File Rename OK: " + both);
        return true;
    }
    logLine(" ERROR: File Rename STILL Failed: " + both);
    return false;
}

// ---- Versions and dates ----

std::optional<TDateTime> FileModificationTime(const fs::path& path) {
    return platform::ModificationTime(path);
}

std::string FileVersionText(const fs::path& path) {
    // Only the program itself carries a version; it is compiled in.
    if (platform::IsRunningProgram(path)) return ProgramVersionText();
    const std::optional<TDateTime> modified = FileModificationTime(path);
    return modified ? DateTimeText(TDateTimePrecision::Minutes, *modified) : std::string();
}

std::string DateTimeText(TDateTimePrecision precision, TDateTime dateTime) {
    if (dateTime == TDateTime{}) dateTime = std::chrono::system_clock::now();
    return FormatLocal(dateTime, precision);
}

// ---- Texts ----

std::string ZeroPad(long long value, int width) {
    if (width <= 0) return {};
    const auto fieldWidth = static_cast<std::size_t>(width);
    std::string digits = std::to_string(value);
    const bool negative = value < 0;
    if (digits.size() > fieldWidth) return std::string(fieldWidth, '*');
    // Zeros go between the sign and the digits.
    digits.insert(negative ? 1 : 0, fieldWidth - digits.size(), '0');
    return digits;
}

std::string NextToken(std::string& text, std::string_view separators) {
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos) {
        text.clear();
        return {};
    }
    const std::size_t end = text.find_first_of(separators, start);
    if (end == std::string::npos) {
        std::string token = text.substr(start);
        text.clear();
        return token;
    }
    std::string token = text.substr(start, end - start);
    text.erase(0, end + 1);
    return token;
}

std::string TrimText(std::string_view text) {
    while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
    return std::string(text);
}

bool IsValidFileName(std::string_view name) {
    return name.find_first_of(InvalidFileNameChars) == std::string_view::npos;
}

std::string CleanFileName(std::string_view name) {
    std::string clean;
    clean.reserve(name.size());
    for (const char c : name) {
        if (InvalidFileNameChars.find(c) == std::string_view::npos) clean.push_back(c);
    }
    return clean;
}

std::size_t ContainsText(std::string_view part, std::string_view text) {
    if (part.empty() || part.size() > text.size()) return 0;
    for (std::size_t i = 0; i + part.size() <= text.size(); ++i) {
        std::size_t j = 0;
        while (j < part.size() && UpperAscii(text[i + j]) == UpperAscii(part[j])) ++j;
        if (j == part.size()) return i + 1;
    }
    return 0;
}

}  // namespace kelvane
