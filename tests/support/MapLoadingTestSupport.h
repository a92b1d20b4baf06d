#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/maps/BinMapChooser.h"
#include "core/maps/MapGrid.h"
#include "core/maps/MapText.h"

namespace kelvane::testing {

// Answers every bin options dialog with a fixed choice and remembers what it
// was asked.
class TScriptedChooser : public TBinMapChooser {
  public:
    explicit TScriptedChooser(TBinMapChoice answer = TBinMapChoice::Cancel) : FAnswer(answer) {}

    TBinMapChoice ChooseMap(TBinDialogKind kind, const std::string& notice) override {
        Kinds.push_back(kind);
        Notices.push_back(notice);
        return FAnswer;
    }

    std::vector<TBinDialogKind> Kinds;
    std::vector<std::string> Notices;

  private:
    TBinMapChoice FAnswer;
};

// A grid whose cells differ, so a map read into the wrong place shows.
inline TMapGrid PatternGrid(double base, double step) {
    TMapGrid grid;
    for (int r = 0; r < MapSize; ++r)
        for (int l = 0; l < MapSize; ++l) grid.At(r, l) = base + step * ((r + 3 * l) % 20);
    return grid;
}

inline void WriteTextFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream << text;
}

}  // namespace kelvane::testing
