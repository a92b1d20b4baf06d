#include <gtest/gtest.h>

#include "core/maps/BinLHImage.h"
#include "core/maps/BinLHRpmAxis.h"
#include "support/BinTestImages.h"

namespace kelvane {
namespace {

// Expected values worked out by hand from the two period encodings:
//   s = 33:  A: c=32, e=1, m=0  -> v = 2048|0|63 = 2111 -> 60/(2111*4e-6) = 7105.6 -> 7105
//            B: e=1, m=1, t=1   -> v = 2048|64   = 2112 -> 7102.2 -> 7102; mean 7103.5
//   s = 100: A: c=99, e=3, m=3, t=2 -> v = 8192|512|255 = 8959 -> 1674.3 -> 1674
//            B: e=3, m=4, t=3       -> v = 8192|768     = 8960 -> 1674.1 -> 1674
//   s = 255: A: c=254, e=7, m=30, t=29 -> v = 131072|118784|4095 = 253951 -> 59.07 -> 59
//            B: e=7, m=31, t=30        -> v = 131072|122880      = 253952 -> 59
//   s = 1:   A: c=0 -> 20000;  B: v = 1024|32 = 1056 -> 14204.5 -> 14204; mean 17102
//   s = 2:   A: m=1, t=1 -> v = 1024|32|31 = 1087 -> 13799
//            B: m=2 missing, TB[3]=2 -> v = 1024|64 = 1088 -> 13786; mean 13792.5
//   s = 3:   A: c=2, m=2 missing, TA[1]=1 -> v = 1087 -> 13799; B: TB[3]=2 -> 13786
//   s = 23:  A: c=22, TA[22]=20 -> v = 1024|640|31 = 1695 -> 8849.6 -> 8849
//            B: TB[23]=21 -> v = 1024|672 = 1696 -> 8844.3 -> 8844; mean 8846.5
TEST(LHRpmAxisTest, ValuesForPeriodCodes) {
    struct TCase {
        int S;
        double Rpm;
    };
    const TCase cases[] = {{0, 20000},   {1, 17102},   {2, 13792.5}, {3, 13792.5},
                           {23, 8846.5}, {33, 7103.5}, {100, 1674},  {255, 59}};
    for (const TCase& c : cases) EXPECT_DOUBLE_EQ(LHRpmAxisValue(c.S), c.Rpm) << "s = " << c.S;
}

TEST(LHRpmAxisTest, CodesOutsideTheByteAreClamped) {
    EXPECT_DOUBLE_EQ(LHRpmAxisValue(-7), 20000);
    EXPECT_DOUBLE_EQ(LHRpmAxisValue(256), 59);
}

// The steps at 32F0..32FF are summed from the top (32FF) down to each breakpoint.
TEST(LHRpmAxisTest, ImageAxisSumsStepsFromTheTop) {
    TBinBytes image = testing::MakeLHDeviceImage();
    image[0x32FF] = 1;    // i = 0: s = 255
    image[0x32FE] = 155;  // i = 1: s = 100
    image[0x32FD] = 67;   // i = 2: s = 33
    image[0x32FC] = 33;   // i = 3: s = 0
    image[0x32FB] = 200;  // i = 4: 256 - 456, clamped to 0
    const std::optional<TMapAxis> axis = TLHbinFile(image).RpmAxis();
    ASSERT_TRUE(axis.has_value());
    EXPECT_DOUBLE_EQ((*axis)[0], 59);
    EXPECT_DOUBLE_EQ((*axis)[1], 1674);
    EXPECT_DOUBLE_EQ((*axis)[2], 7103.5);
    for (int i = 3; i < 16; ++i) EXPECT_DOUBLE_EQ((*axis)[i], 20000) << i;
}

TEST(LHRpmAxisTest, AllStepsZeroGiveTheSlowestCodeEverywhere) {
    const std::optional<TMapAxis> axis = TLHbinFile(testing::MakeLHDeviceImage()).RpmAxis();
    ASSERT_TRUE(axis.has_value());
    for (double value : *axis) EXPECT_DOUBLE_EQ(value, 59);  // s = 256, clamped to 255
}

}  // namespace
}  // namespace kelvane
