#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/ground/IniFile2.h"

namespace kelvane {

// The files a run of writes could not write, each named once (by its first
// failure), in the order they failed. A message is "<file>: <reason>", the
// form the file writers give their error texts in.
class TWriteFailures {
  public:
    void Add(const std::filesystem::path& file, std::string_view message);
    // The failure of the settings file's last write.
    void Add(const TIniFile2& ini) { Add(ini.FileName(), ini.LastError()); }
    void Add(const TWriteFailures& other);

    bool Ok() const { return FItems.empty(); }
    std::vector<std::string> Messages() const;
    // The text of an error box: a lead line, then one line per file.
    std::string Text() const;

  private:
    struct TItem {
        std::filesystem::path File;
        std::string Message;
    };
    std::vector<TItem> FItems;
};

// The error box text for a settings file whose last write failed.
std::string WriteFailureText(const TIniFile2& ini);

}  // namespace kelvane
