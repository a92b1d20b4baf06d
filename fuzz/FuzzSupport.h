#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "FuzzTargets.h"

namespace kelvane::fuzz {

// Throws TFuzzCheckFailed naming the rule when it does not hold.
inline void Check(bool holds, std::string_view rule) {
    if (!holds) throw TFuzzCheckFailed(std::string(rule));
}

// A folder of this process's own, emptied at exit; the loaders read files.
const std::filesystem::path& ScratchFolder();

// Writes the bytes to ScratchFolder() / name and returns that path.
std::filesystem::path WriteScratchFile(std::string_view name, std::string_view bytes);

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Equal bit for bit (NaNs and signed zeros included).
template <typename T>
bool SameBytes(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

}  // namespace kelvane::fuzz

#include "core/maps/BinMapChooser.h"
#include "core/state/KelvaneState.h"

namespace kelvane::fuzz {

// The maps, their sources, the engine setup, the axes and the current bin
// images: what a refused map load must leave as it was.
bool SameMapState(const TKelvaneState& a, const TKelvaneState& b);

// Answers every bin options dialog with one choice.
class TFixedChooser : public TBinMapChooser {
  public:
    explicit TFixedChooser(TBinMapChoice choice) : FChoice(choice) {}
    TBinMapChoice ChooseMap(TBinDialogKind, const std::string&) override {
        Asked = true;
        return FChoice;
    }
    bool Asked = false;

  private:
    TBinMapChoice FChoice;
};

}  // namespace kelvane::fuzz
