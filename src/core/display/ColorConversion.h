#pragma once

#include <cstdint>

#include "core/display/ColorTable.h"

namespace kelvane {

// Hue, saturation and lightness, each 0..1 (hue 1 is the same as 0).
struct THsl {
    double H = 0.0;
    double S = 0.0;
    double L = 0.0;
};

// Standard RGB to HSL; the alpha byte is ignored. Greys have hue and saturation 0.
THsl RgbToHsl(TColor32 color);

// Standard HSL to RGB, components rounded half to even; inputs outside 0..1 are
// limited to it (a hue outside wraps around).
TColor32 HslToRgb(const THsl& hsl, std::uint8_t alpha = 255);

// The colour rows' slider positions: hue 0..360, saturation and brightness 0..100.
struct THslSliders {
    int Hue = 0;
    int Sat = 0;
    int Bright = 0;
    friend bool operator==(const THslSliders&, const THslSliders&) = default;
};

THslSliders HslSlidersOf(TColor32 color);
TColor32 ColorOfHslSliders(const THslSliders& sliders);

}  // namespace kelvane
