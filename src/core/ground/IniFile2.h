#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ground/DecimalComma.h"

namespace kelvane {

// One settings file of the classic ini form: "[Section]" lines open a
// section, "Key=Value" lines belong to the last section, names compare
// without regard to case. Names and values are read without the blanks and tabs
// around them and without a pair of double quotes around a value; a value that
// would lose something so is written in double quotes. Lines of any other form
// are ignored when reading and kept when the file is rewritten.
//
// Nothing is cached: every read goes to the file and every write replaces the
// file at once (through a temporary file and a rename, so a crash never
// leaves a cut-off file). Two objects on the same file therefore always
// agree. A missing file reads as empty and is created by the first write.
// The exception is an update (BeginUpdate / EndUpdate, or TIniUpdate): its
// writes are gathered in memory, reads through this object see them, and the
// file is replaced once at its end, so a save of many keys rewrites a large
// file once rather than once per key.
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
    // Writes go through at once (or at the end of the update); kept for
    // callers used to flushing.
    void UpdateFile() {}

    // Gathers the writes up to the matching EndUpdate; updates nest, and only
    // the outermost end writes the file (and only when its lines differ from
    // those the file held).
    // EndUpdate is false when that write failed: then none of the update's
    // changes reached the file, and LastError says why.
    void BeginUpdate();
    [[nodiscard]] bool EndUpdate();

    // How the file is replaced: bytes into path, false with errorText set on
    // failure. Empty (the default): WriteFileAtomically. Tests count writes here.
    using TFileWriter = std::function<bool(const std::filesystem::path& path, std::string_view bytes,
                                           std::string* errorText)>;
    void SetFileWriter(TFileWriter writer) { FWriter = std::move(writer); }

    // Why the latest write that failed did so, as "<file>: <reason>"; empty
    // while none has failed.
    const std::string& LastError() const { return FLastError; }

  private:
    // The file as lines, without their line ends.
    struct TText {
        bool HasBom = false;
        std::string LineEnd = "\r\n";
        std::vector<std::string> Lines;
    };
    // The text reads see: the update's text when one holds it, else the file
    // read into scratch. Null when the file exists and cannot be read.
    const TText* CurrentText(TText& scratch, std::string_view* reason = nullptr) const;
    // The same for a change; inside an update the update's text is loaded once.
    TText* TextToChange(TText& scratch, std::string_view* reason);
    // Writes the changed text now, or at the end of the update.
    bool Store(const TText& text);
    bool Save(const TText& text, std::string& errorText) const;

    // Keeps "<file>: <reason>" for LastError and reports the failure.
    bool Fail(std::string_view reason);
    // Keeps a failure text that already names the file.
    bool FailWith(std::string text);

    std::filesystem::path FFileName;
    std::string FLastError;
    TFileWriter FWriter;
    int FUpdateDepth = 0;
    std::optional<TText> FPending;            // the update's text, once a change loaded it
    std::vector<std::string> FPendingLoaded;  // its lines as the file held them
    bool FPendingChanged = false;
};

// An update of one settings file for the life of a scope: Commit ends it and
// says whether the file was written; a scope left without Commit ends it too.
class TIniUpdate {
  public:
    explicit TIniUpdate(TIniFile2& ini) : FIni(&ini) { ini.BeginUpdate(); }
    ~TIniUpdate() { (void)Commit(); }
    TIniUpdate(const TIniUpdate&) = delete;
    TIniUpdate& operator=(const TIniUpdate&) = delete;

    [[nodiscard]] bool Commit() {
        if (FIni) FCommitted = FIni->EndUpdate();
        FIni = nullptr;
        return FCommitted;
    }

  private:
    TIniFile2* FIni;
    bool FCommitted = true;
};

}  // namespace kelvane
