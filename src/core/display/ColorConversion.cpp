#include "core/display/ColorConversion.h"

#include <algorithm>
#include <cmath>

namespace kelvane {

namespace {

double Limited(double value) {
    if (!(value >= 0.0)) return 0.0;  // NaN too
    return std::min(value, 1.0);
}

double HueToChannel(double p, double q, double t) {
    if (t < 0.0) t += 1.0;
    if (t > 1.0) t -= 1.0;
    if (t < 1.0 / 6.0) return p + (q - p) * 6.0 * t;
    if (t < 0.5) return q;
    if (t < 2.0 / 3.0) return p + (q - p) * (2.0 / 3.0 - t) * 6.0;
    return p;
}

std::uint8_t ToByte(double channel) {
    return static_cast<std::uint8_t>(std::nearbyint(Limited(channel) * 255.0));
}

}  // namespace

THsl RgbToHsl(TColor32 color) {
    const double r = RedOf(color) / 255.0;
    const double g = GreenOf(color) / 255.0;
    const double b = BlueOf(color) / 255.0;
    const double maximum = std::max({r, g, b});
    const double minimum = std::min({r, g, b});
    THsl hsl;
    hsl.L = (maximum + minimum) / 2.0;
    if (maximum == minimum) return hsl;

    const double delta = maximum - minimum;
    hsl.S = hsl.L > 0.5 ? delta / (2.0 - maximum - minimum) : delta / (maximum + minimum);
    double h;
    if (maximum == r) {
        h = (g - b) / delta + (g < b ? 6.0 : 0.0);
    } else if (maximum == g) {
        h = (b - r) / delta + 2.0;
    } else {
        h = (r - g) / delta + 4.0;
    }
    hsl.H = h / 6.0;
    return hsl;
}

TColor32 HslToRgb(const THsl& hsl, std::uint8_t alpha) {
    double h = std::isfinite(hsl.H) ? hsl.H - std::floor(hsl.H) : 0.0;
    const double s = Limited(hsl.S);
    const double l = Limited(hsl.L);
    if (s == 0.0) {
        const std::uint8_t grey = ToByte(l);
        return MakeColor32(alpha, grey, grey, grey);
    }
    const double q = l < 0.5 ? l * (1.0 + s) : l + s - l * s;
    const double p = 2.0 * l - q;
    return MakeColor32(alpha, ToByte(HueToChannel(p, q, h + 1.0 / 3.0)), ToByte(HueToChannel(p, q, h)),
                       ToByte(HueToChannel(p, q, h - 1.0 / 3.0)));
}

THslSliders HslSlidersOf(TColor32 color) {
    const THsl hsl = RgbToHsl(color);
    return {static_cast<int>(std::nearbyint(hsl.H * 360.0)), static_cast<int>(std::nearbyint(hsl.S * 100.0)),
            static_cast<int>(std::nearbyint(hsl.L * 100.0))};
}

TColor32 ColorOfHslSliders(const THslSliders& sliders) {
    return HslToRgb({sliders.Hue / 360.0, sliders.Sat / 100.0, sliders.Bright / 100.0});
}

}  // namespace kelvane
