#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace kelvane {

// A fresh folder under the system temp folder, removed with everything in it.
class TTempFolder {
  public:
    TTempFolder() {
        // create_directory makes the folder only when no such name exists yet,
        // so a name another test took is never shared.
        std::random_device seed;
        std::mt19937_64 random(seed());
        const std::filesystem::path temp = std::filesystem::temp_directory_path();
        for (;;) {
            std::string name = "kelvane-test-";
            for (int i = 0; i < 6; ++i) name += "abcdefghijklmnopqrstuvwxyz0123456789"[random() % 36];
            std::error_code error;
            if (std::filesystem::create_directory(temp / name, error)) {
                FPath = temp / name;
                return;
            }
            if (error)
                throw std::filesystem::filesystem_error("cannot make a test folder", temp / name, error);
        }
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
