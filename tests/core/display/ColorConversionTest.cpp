#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <vector>

#include "core/display/ColorConversion.h"

namespace kelvane {
namespace {

constexpr TColor32 Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return MakeColor32(255, red, green, blue);
}

// Colours of every fixed table plus an even grid through the colour cube.
std::vector<TColor32> SampleColours() {
    std::vector<TColor32> colours;
    for (const int number : {1, 2}) {
        for (const TColorTableEntry& entry : BuiltInColorTable(number)) colours.push_back(entry.Color);
    }
    for (const TColorTableEntry& entry : MapWindowColor2Table()) colours.push_back(entry.Color | 0xFF000000u);
    for (int r = 0; r <= 255; r += 15) {
        for (int g = 0; g <= 255; g += 15) {
            for (int b = 0; b <= 255; b += 15) {
                colours.push_back(Rgb(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                                      static_cast<std::uint8_t>(b)));
            }
        }
    }
    return colours;
}

TEST(ColorConversionTest, KnownColours) {
    struct TCase {
        TColor32 Color;
        THsl Hsl;
    };
    const std::vector<TCase> cases = {
        {Rgb(255, 0, 0), {0.0, 1.0, 0.5}},
        {Rgb(0, 255, 0), {1.0 / 3.0, 1.0, 0.5}},
        {Rgb(0, 0, 255), {2.0 / 3.0, 1.0, 0.5}},
        {Rgb(255, 0, 255), {5.0 / 6.0, 1.0, 0.5}},
        {Rgb(255, 255, 255), {0.0, 0.0, 1.0}},
        {Rgb(0, 0, 0), {0.0, 0.0, 0.0}},
        {Rgb(128, 128, 128), {0.0, 0.0, 128.0 / 255.0}},
        {Rgb(128, 0, 0), {0.0, 1.0, 64.0 / 255.0}},
        {Rgb(255, 128, 128), {0.0, 1.0, 383.0 / 510.0}},
    };
    for (const TCase& c : cases) {
        const THsl hsl = RgbToHsl(c.Color);
        EXPECT_NEAR(hsl.H, c.Hsl.H, 1e-12) << std::hex << c.Color;
        EXPECT_NEAR(hsl.S, c.Hsl.S, 1e-12) << std::hex << c.Color;
        EXPECT_NEAR(hsl.L, c.Hsl.L, 1e-12) << std::hex << c.Color;
        EXPECT_EQ(HslToRgb(c.Hsl), c.Color) << std::hex << c.Color;
    }
}

TEST(ColorConversionTest, RoundTripIsExact) {
    for (const TColor32 colour : SampleColours()) {
        const THsl hsl = RgbToHsl(colour);
        ASSERT_GE(hsl.H, 0.0);
        ASSERT_LT(hsl.H, 1.0);
        ASSERT_EQ(HslToRgb(hsl), colour) << std::hex << colour;
        ASSERT_EQ(HslToRgb(hsl, 0x20), (colour & 0x00FFFFFFu) | 0x20000000u);
    }
}

TEST(ColorConversionTest, SlidersStayInRangeAndComeBackClose) {
    for (const TColor32 colour : SampleColours()) {
        const THslSliders sliders = HslSlidersOf(colour);
        ASSERT_TRUE(sliders.Hue >= 0 && sliders.Hue <= 360) << sliders.Hue;
        ASSERT_TRUE(sliders.Sat >= 0 && sliders.Sat <= 100) << sliders.Sat;
        ASSERT_TRUE(sliders.Bright >= 0 && sliders.Bright <= 100) << sliders.Bright;
        // Whole degrees and percent cost at most a few steps per component.
        const TColor32 back = ColorOfHslSliders(sliders);
        EXPECT_LE(std::abs(RedOf(back) - RedOf(colour)), 4) << std::hex << colour;
        EXPECT_LE(std::abs(GreenOf(back) - GreenOf(colour)), 4) << std::hex << colour;
        EXPECT_LE(std::abs(BlueOf(back) - BlueOf(colour)), 4) << std::hex << colour;
    }
    EXPECT_EQ(HslSlidersOf(Rgb(0, 255, 166)), (THslSliders{159, 100, 50}));
    EXPECT_EQ(ColorOfHslSliders({159, 100, 50}), Rgb(0, 255, 166));
    EXPECT_EQ(ColorOfHslSliders({360, 100, 50}), Rgb(255, 0, 0));  // hue 360 is hue 0
}

TEST(ColorConversionTest, OutOfRangeInputsAreLimited) {
    EXPECT_EQ(HslToRgb({-0.25, 1.0, 0.5}), HslToRgb({0.75, 1.0, 0.5}));
    EXPECT_EQ(HslToRgb({2.0, 1.0, 0.5}), Rgb(255, 0, 0));
    EXPECT_EQ(HslToRgb({0.0, 5.0, 2.0}), Rgb(255, 255, 255));
    EXPECT_EQ(HslToRgb({0.0, -1.0, -1.0}), Rgb(0, 0, 0));
    EXPECT_EQ(HslToRgb({std::numeric_limits<double>::quiet_NaN(), 1.0, 0.5}), Rgb(255, 0, 0));
}

}  // namespace
}  // namespace kelvane
