#include "FuzzSupport.h"

#include <unistd.h>

#include <fstream>
#include <system_error>

#include "support/MapStateCompare.h"

namespace kelvane::fuzz {

namespace {

class TScratch {
  public:
    TScratch() {
        FPath = std::filesystem::temp_directory_path() / ("kelvane-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(FPath);
    }
    ~TScratch() {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    const std::filesystem::path& Path() const { return FPath; }

  private:
    std::filesystem::path FPath;
};

}  // namespace

const std::filesystem::path& ScratchFolder() {
    static const TScratch scratch;
    return scratch.Path();
}

std::filesystem::path WriteScratchFile(std::string_view name, std::string_view bytes) {
    const std::filesystem::path path = ScratchFolder() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    Check(static_cast<bool>(out), "the scratch file can be written");
    return path;
}

}  // namespace kelvane::fuzz

namespace kelvane::fuzz {

bool SameMapState(const TKelvaneState& a, const TKelvaneState& b) {
    return testing::SameMapState(a, b);
}

}  // namespace kelvane::fuzz
