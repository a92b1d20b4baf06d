#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

namespace kelvane {

// A fresh folder under the system temp folder, removed with everything in it.
class TTempFolder {
  public:
    TTempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kelvane-test-XXXXXX").string();
        FPath = ::mkdtemp(pattern.data());
    }
    ~TTempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::filesystem::path& Path() const { return FPath; }

  private:
    std::filesystem::path FPath;
};

}  // namespace kelvane
