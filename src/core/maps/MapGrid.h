#pragma once

#include <array>
#include <cstddef>

namespace kelvane {

constexpr int MapSize = 16;

// A 16 x 16 map, stored RPM-major: G[r][l] is element r * 16 + l.
// In every text form one line is one load row l of 16 RPM values.
struct TMapGrid {
    std::array<double, MapSize * MapSize> Values{};

    double& At(int rpmIndex, int loadIndex) {
        return Values[static_cast<std::size_t>(rpmIndex * MapSize + loadIndex)];
    }
    double At(int rpmIndex, int loadIndex) const {
        return Values[static_cast<std::size_t>(rpmIndex * MapSize + loadIndex)];
    }

    void Fill(double value) { Values.fill(value); }
    bool operator==(const TMapGrid&) const = default;
};

using TMapAxis = std::array<double, MapSize>;
using TCellBounds = std::array<double, MapSize + 1>;

// Grid coordinates of a map selection: 1..16 are map cells (0 is the header
// row or column); column c is RPM index c - 1, row t is load index t - 1.
struct TMapSelection {
    int Left = 1;
    int Top = 1;
    int Right = MapSize;
    int Bottom = MapSize;
};

constexpr TMapSelection WholeMap{1, 1, MapSize, MapSize};

}  // namespace kelvane
