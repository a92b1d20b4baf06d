#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/ground/DecimalComma.h"

namespace kelvane {

// One settings file of the classic ini form: "[Section]" lines open a
// section, "Key=Value" lines belong to the last section, names compare
// without regard to case, no quoting or escaping. Lines of any other form are
// ignored when reading and kept when the file is rewritten.
//
// Nothing is cached: every read goes to the file and every write replaces the
// file at once (through a temporary file and a rename, so a crash never
// leaves a cut-off file). Two objects on the same file therefore always
// agree. A missing file reads as empty and is created by the first write.
//
// Writes return false when nothing was written: an empty section or key name,
// a name or value that cannot be stored in the file form (a line break, "="
// in a key, "]" in a section), an existing file that cannot be read, or a
// file that cannot be replaced. The file is then left as it was, and LastError
// says why.
class TIniFile2 {
  public:
    explicit TIniFile2(std::filesystem::path fileName) : FFileName(std::move(fileName)) {}

    const std::filesystem::path& FileName() const { return FFileName; }

    // Empty section or key gives the default.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    [[nodiscard]] bool WriteString(std::string_view section, std::string_view key, std::string_view value);

    // Decimal text; anything else gives the default.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    [[nodiscard]] bool WriteInteger(std::string_view section, std::string_view key, int value);

    // Written "1" / "0"; read as an integer, non-zero is true.
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    [[nodiscard]] bool WriteBool(std::string_view section, std::string_view key, bool value);

    // Decimal number (see FormatNumber / ParseNumber).
    double ReadNumber(std::string_view section, std::string_view key, TDecimalComma comma,
                      double defaultValue) const;
    [[nodiscard]] bool WriteNumber(std::string_view section, std::string_view key, double value,
                                   int decimals);

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;

    // Key names of a section, in file order, each once. Empty section: cleared.
    void ReadSection(std::string_view section, std::vector<std::string>& keys) const;
    // Every section name, in file order, each once.
    void ReadSections(std::vector<std::string>& sections) const;
    // "Key=Value" for each key of a section. Empty section: cleared.
    void ReadSectionValues(std::string_view section, std::vector<std::string>& lines) const;

    [[nodiscard]] bool EraseSection(std::string_view section);
    [[nodiscard]] bool DeleteKey(std::string_view section, std::string_view key);
    // Writes go through at once; kept for callers used to flushing.
    void UpdateFile() {}

    // Why the latest write that failed did so, as "<file>: <reason>"; empty
    // while none has failed.
    const std::string& LastError() const { return FLastError; }

  private:
    // Keeps "<file>: <reason>" for LastError and reports the failure.
    bool Fail(std::string_view reason);
    // Keeps a failure text that already names the file.
    bool FailWith(std::string text);

    std::filesystem::path FFileName;
    std::string FLastError;
};

}  // namespace kelvane
