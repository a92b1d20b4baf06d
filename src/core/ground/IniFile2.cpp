#include "core/ground/IniFile2.h"

#include <algorithm>
#include <optional>
#include <system_error>

#include "core/ground/AtomicFile.h"
#include "core/ground/SettingsValues.h"

namespace kelvane {

namespace {

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Upper(x) == Upper(y); });
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

enum class TLineKind { Other, Section, Key };

struct TLine {
    TLineKind Kind = TLineKind::Other;
    std::string_view Name;   // section or key name
    std::string_view Value;  // key lines only
};

// A value is trimmed when read, so one that starts or ends with a blank or a tab
// is written between double quotes, which reading takes off again (as the system's
// own ini reader does). A value that itself starts and ends with one is quoted too.
// A number right-aligned with blanks before it (" 1.00") is read as the same
// number, and keeps the form the file has always held.
bool NeedsQuotes(std::string_view value) {
    if (value.empty()) return false;
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    if (blank(value.back())) return true;
    if (blank(value.front())) {
        const std::string_view number = TrimBlanks(value);
        return number.find_first_not_of("0123456789.+-") != std::string_view::npos;
    }
    return value.size() >= 2 && value.front() == '"' && value.back() == '"';
}

std::string StoredValue(std::string_view value) {
    return NeedsQuotes(value) ? "\"" + std::string(value) + "\"" : std::string(value);
}

std::string_view Unquoted(std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.substr(1, value.size() - 2);
    return value;
}

TLine Classify(std::string_view line) {
    const std::string_view trimmed = TrimBlanks(line);
    if (!trimmed.empty() && trimmed.front() == '[') {
        const auto close = trimmed.find(']');
        if (close != std::string_view::npos)
            return {TLineKind::Section, TrimBlanks(trimmed.substr(1, close - 1)), {}};
        return {};
    }
    const auto equals = trimmed.find('=');
    if (equals == std::string_view::npos) return {};
    const std::string_view key = TrimBlanks(trimmed.substr(0, equals));
    if (key.empty()) return {};
    return {TLineKind::Key, key, Unquoted(TrimBlanks(trimmed.substr(equals + 1)))};
}

constexpr std::string_view CannotRead = "cannot be read";
constexpr std::string_view NotAFile = "not a regular file";
constexpr std::string_view CannotStore = "the section, key or value cannot be stored in a settings file";

// A missing file is empty; a file that exists but cannot be read is a failure,
// so that a write never replaces a file it could not see. reason (when given)
// says why it failed.
template <typename TText>
bool LoadText(const std::filesystem::path& path, TText& text, std::string_view* reason) {
    const auto fail = [reason](std::string_view why) {
        if (reason) *reason = why;
        return false;
    };
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return !error || fail(CannotRead);
    if (!std::filesystem::is_regular_file(path, error)) return fail(NotAFile);
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return fail(CannotRead);
    std::string_view rest(bytes);
    if (rest.substr(0, Utf8Bom.size()) == Utf8Bom) {
        text.HasBom = true;
        rest.remove_prefix(Utf8Bom.size());
    }
    const auto firstBreak = rest.find('\n');
    if (firstBreak != std::string_view::npos && (firstBreak == 0 || rest[firstBreak - 1] != '\r'))
        text.LineEnd = "\n";
    while (!rest.empty()) {
        const auto lineBreak = rest.find('\n');
        std::string_view line = rest.substr(0, lineBreak);
        rest = lineBreak == std::string_view::npos ? std::string_view{} : rest.substr(lineBreak + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        // Written back with bare line feeds, a carriage return left at a line's
        // end would join the line end and be lost at the next read; dropped
        // now, every write of the file reads back as it was written.
        if (text.LineEnd == "\n")
            while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        text.Lines.emplace_back(line);
    }
    return true;
}

// Rename replaces a symbolic link itself; write to the file it points at.
std::filesystem::path WriteTarget(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        const auto target = std::filesystem::weakly_canonical(path, error);
        if (!error) return target;
    }
    return path;
}

// Calls visit(index, line) for every key line of the named section (all its
// blocks, in file order); visit returns false to stop.
template <typename TVisit>
void ForEachKey(const std::vector<std::string>& lines, std::string_view section, TVisit visit) {
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const TLine line = Classify(lines[i]);
        if (line.Kind == TLineKind::Section)
            inSection = SameName(line.Name, section);
        else if (line.Kind == TLineKind::Key && inSection && !visit(i, line))
            return;
    }
}

std::optional<std::string> FindValue(const std::vector<std::string>& lines, std::string_view section,
                                     std::string_view key) {
    std::optional<std::string> found;
    ForEachKey(lines, section, [&](std::size_t, const TLine& line) {
        if (!SameName(line.Name, key)) return true;
        found = std::string(line.Value);
        return false;
    });
    return found;
}

bool ValidSection(std::string_view section) {
    return !section.empty() && !HasLineBreak(section) && section.find(']') == std::string_view::npos;
}

bool ValidKey(std::string_view key) {
    return !key.empty() && !HasLineBreak(key) && key.find('=') == std::string_view::npos &&
           key.front() != '[';
}

}  // namespace

const TIniFile2::TText* TIniFile2::CurrentText(TText& scratch, std::string_view* reason) const {
    if (FPending) return &*FPending;
    return LoadText(FFileName, scratch, reason) ? &scratch : nullptr;
}

TIniFile2::TText* TIniFile2::TextToChange(TText& scratch, std::string_view* reason) {
    if (FUpdateDepth == 0) return LoadText(FFileName, scratch, reason) ? &scratch : nullptr;
    if (!FPending) {
        TText loaded;
        if (!LoadText(FFileName, loaded, reason)) return nullptr;
        FPendingLoaded = loaded.Lines;
        FPending = std::move(loaded);
    }
    return &*FPending;
}

bool TIniFile2::Save(const TText& text, std::string& errorText) const {
    std::string bytes;
    if (text.HasBom) bytes += Utf8Bom;
    for (const std::string& line : text.Lines) {
        bytes += line;
        bytes += text.LineEnd;
    }
    const std::filesystem::path target = WriteTarget(FFileName);
    return FWriter ? FWriter(target, bytes, &errorText) : WriteFileAtomically(target, bytes, &errorText);
}

bool TIniFile2::Store(const TText& text) {
    if (FUpdateDepth > 0) {
        FPendingChanged = true;
        return true;
    }
    std::string errorText;
    return Save(text, errorText) || FailWith(std::move(errorText));
}

void TIniFile2::BeginUpdate() {
    ++FUpdateDepth;
}

bool TIniFile2::EndUpdate() {
    if (FUpdateDepth == 0 || --FUpdateDepth > 0) return true;
    const bool changed = FPendingChanged;
    std::optional<TText> pending = std::move(FPending);
    const std::vector<std::string> loaded = std::move(FPendingLoaded);
    FPending.reset();
    FPendingLoaded.clear();
    FPendingChanged = false;
    if (!changed || !pending) return true;
    // Changes that end where the file began (a section erased and written again
    // as it was) write nothing; what a killed save left goes all the same.
    if (pending->Lines == loaded) {
        RemoveStaleTemporaries(WriteTarget(FFileName));
        return true;
    }
    std::string errorText;
    return Save(*pending, errorText) || FailWith(std::move(errorText));
}

bool TIniFile2::Fail(std::string_view reason) {
    return FailWith(FFileName.string() + ": " + std::string(reason));
}

bool TIniFile2::FailWith(std::string text) {
    FLastError = std::move(text);
    return false;
}

std::string TIniFile2::ReadString(std::string_view section, std::string_view key,
                                  std::string_view defaultValue) const {
    section = TrimBlanks(section);
    key = TrimBlanks(key);
    if (section.empty() || key.empty()) return std::string(defaultValue);
    TText scratch;
    const TText* text = CurrentText(scratch);
    if (!text) return std::string(defaultValue);
    return FindValue(text->Lines, section, key).value_or(std::string(defaultValue));
}

bool TIniFile2::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    section = TrimBlanks(section);
    key = TrimBlanks(key);
    if (!ValidSection(section) || !ValidKey(key) || HasLineBreak(value)) return Fail(CannotStore);
    TText scratch;
    std::string_view reason;
    TText* changed = TextToChange(scratch, &reason);
    if (!changed) return Fail(reason);
    TText& text = *changed;

    const std::string stored = StoredValue(value);
    const std::string newLine = std::string(key) + "=" + stored;
    std::optional<std::size_t> keyLine;
    std::string storedKey;
    ForEachKey(text.Lines, section, [&](std::size_t index, const TLine& line) {
        if (!SameName(line.Name, key)) return true;
        keyLine = index;
        storedKey = line.Name;
        return false;
    });
    if (keyLine) {
        // The key keeps the spelling the file already has.
        const std::string replaced = storedKey + "=" + stored;
        if (text.Lines[*keyLine] == replaced) return true;
        text.Lines[*keyLine] = replaced;
        return Store(text);
    }

    // A new key goes after the last key line of the section's first block.
    std::optional<std::size_t> insertAt;
    for (std::size_t i = 0; i < text.Lines.size(); ++i) {
        const TLine line = Classify(text.Lines[i]);
        if (line.Kind == TLineKind::Section) {
            if (insertAt) break;
            if (SameName(line.Name, section)) insertAt = i + 1;
        } else if (insertAt && line.Kind == TLineKind::Key) {
            insertAt = i + 1;
        }
    }
    if (insertAt) {
        text.Lines.insert(text.Lines.begin() + static_cast<std::ptrdiff_t>(*insertAt), newLine);
    } else {
        if (!text.Lines.empty() && !TrimBlanks(text.Lines.back()).empty()) text.Lines.emplace_back();
        text.Lines.push_back("[" + std::string(section) + "]");
        text.Lines.push_back(newLine);
    }
    return Store(text);
}

int TIniFile2::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
    const std::string text = ReadString(section, key, "");
    return ParseInteger(text, defaultValue);
}

bool TIniFile2::WriteInteger(std::string_view section, std::string_view key, int value) {
    return WriteString(section, key, std::to_string(value));
}

bool TIniFile2::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return ParseBool(ReadString(section, key, ""), defaultValue);
}

bool TIniFile2::WriteBool(std::string_view section, std::string_view key, bool value) {
    return WriteString(section, key, FormatBool(value));
}

double TIniFile2::ReadNumber(std::string_view section, std::string_view key, TDecimalComma comma,
                             double defaultValue) const {
    return ParseNumber(ReadString(section, key, ""), comma, defaultValue);
}

bool TIniFile2::WriteNumber(std::string_view section, std::string_view key, double value, int decimals) {
    return WriteString(section, key, FormatNumber(value, decimals));
}

bool TIniFile2::SectionExists(std::string_view section) const {
    std::vector<std::string> sections;
    ReadSections(sections);
    section = TrimBlanks(section);
    return std::any_of(sections.begin(), sections.end(),
                       [section](const std::string& name) { return SameName(name, section); });
}

bool TIniFile2::ValueExists(std::string_view section, std::string_view key) const {
    section = TrimBlanks(section);
    key = TrimBlanks(key);
    if (section.empty() || key.empty()) return false;
    TText scratch;
    const TText* text = CurrentText(scratch);
    return text && FindValue(text->Lines, section, key).has_value();
}

void TIniFile2::ReadSection(std::string_view section, std::vector<std::string>& keys) const {
    keys.clear();
    section = TrimBlanks(section);
    TText scratch;
    const TText* text = section.empty() ? nullptr : CurrentText(scratch);
    if (!text) return;
    ForEachKey(text->Lines, section, [&](std::size_t, const TLine& line) {
        const bool known = std::any_of(keys.begin(), keys.end(),
                                       [&](const std::string& name) { return SameName(name, line.Name); });
        if (!known) keys.emplace_back(line.Name);
        return true;
    });
}

void TIniFile2::ReadSections(std::vector<std::string>& sections) const {
    sections.clear();
    TText scratch;
    const TText* text = CurrentText(scratch);
    if (!text) return;
    for (const std::string& raw : text->Lines) {
        const TLine line = Classify(raw);
        if (line.Kind != TLineKind::Section || line.Name.empty()) continue;
        const bool known = std::any_of(sections.begin(), sections.end(),
                                       [&](const std::string& name) { return SameName(name, line.Name); });
        if (!known) sections.emplace_back(line.Name);
    }
}

void TIniFile2::ReadSectionValues(std::string_view section, std::vector<std::string>& lines) const {
    lines.clear();
    section = TrimBlanks(section);
    TText scratch;
    const TText* text = section.empty() ? nullptr : CurrentText(scratch);
    if (!text) return;
    std::vector<std::string> keys;
    // The first value of a key wins, as for ReadString.
    ForEachKey(text->Lines, section, [&](std::size_t, const TLine& line) {
        const bool known = std::any_of(keys.begin(), keys.end(),
                                       [&](const std::string& name) { return SameName(name, line.Name); });
        if (!known) {
            keys.emplace_back(line.Name);
            lines.push_back(std::string(line.Name) + "=" + std::string(line.Value));
        }
        return true;
    });
}

bool TIniFile2::EraseSection(std::string_view section) {
    section = TrimBlanks(section);
    if (section.empty()) return Fail(CannotStore);
    TText scratch;
    std::string_view reason;
    TText* text = TextToChange(scratch, &reason);
    if (!text) return Fail(reason);
    std::vector<std::string> kept;
    bool inSection = false;
    for (const std::string& raw : text->Lines) {
        const TLine line = Classify(raw);
        if (line.Kind == TLineKind::Section) inSection = SameName(line.Name, section);
        if (!inSection) kept.push_back(raw);
    }
    if (kept.size() == text->Lines.size()) return true;
    text->Lines = std::move(kept);
    return Store(*text);
}

bool TIniFile2::DeleteKey(std::string_view section, std::string_view key) {
    section = TrimBlanks(section);
    key = TrimBlanks(key);
    if (section.empty() || key.empty()) return Fail(CannotStore);
    TText scratch;
    std::string_view reason;
    TText* text = TextToChange(scratch, &reason);
    if (!text) return Fail(reason);
    std::vector<std::size_t> doomed;
    ForEachKey(text->Lines, section, [&](std::size_t index, const TLine& line) {
        if (SameName(line.Name, key)) doomed.push_back(index);
        return true;
    });
    if (doomed.empty()) return true;
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
        text->Lines.erase(text->Lines.begin() + static_cast<std::ptrdiff_t>(*it));
    return Store(*text);
}

}  // namespace kelvane
