#include <gtest/gtest.h>

#include "core/maps/BinEZKImage.h"
#include "support/BinTestImages.h"

namespace kelvane {
namespace {

using testing::MakeEZKImage;

TEST(EZKbinFileTest, ValidIsSizeOnlySignatureIsSeparate) {
    struct TCase {
        std::size_t Size;
        bool Signature;
        bool Valid;
        bool Signed;
    };
    const TCase cases[] = {
        {0x4000, true, true, true},    {0x4000, false, true, false}, {0x8000, true, true, true},
        {0x3FFF, false, false, false}, {20000, true, false, false},  {0x2000, false, false, false},
    };
    for (const TCase& c : cases) {
        TBinBytes image(c.Size, 0);
        if (c.Signature) testing::PutText(image, 0x3FE0, "QRM-D");
        const TEZKbinFile bin(image);
        EXPECT_EQ(bin.IsValid(), c.Valid) << c.Size;
        EXPECT_EQ(bin.HasSignature(), c.Signed) << c.Size;
    }
    EXPECT_FALSE(TEZKbinFile(TBinBytes{}).IsValid());
}

// Degrees = angle offset of the RPM index - 0.375 * byte, to one decimal.
TEST(EZKbinFileTest, IgnitionDegreesRoundToOneDecimal) {
    struct TCase {
        int Rpm;
        int Load;
        std::uint8_t Byte;
        double Degrees;
    };
    const TCase cases[] = {
        {0, 0, 0, 59.7},       // 59.698
        {0, 3, 160, -0.3},     // 59.698 - 60 = -0.302
        {15, 15, 255, -32.9},  // 62.724 - 95.625 = -32.901
        {9, 4, 3, 60.0},       // 61.132 - 1.125 = 60.007
        {11, 7, 1, 60.9},      // 61.255 - 0.375 = 60.88
        {12, 1, 0, 61.7},      // 61.74
        {5, 9, 40, 45.1},      // 60.072 - 15 = 45.072
        {14, 2, 0, 62.3},      // 62.348
    };
    TBinBytes image = MakeEZKImage();
    for (const TCase& c : cases) image[0x1400 + 16 * c.Load + (15 - c.Rpm)] = c.Byte;
    TMapGrid grid;
    ASSERT_TRUE(TEZKbinFile(image).ReadMap(TEZKbinFile::Cat98Map, grid));
    for (const TCase& c : cases) {
        EXPECT_DOUBLE_EQ(grid.At(c.Rpm, c.Load), c.Degrees) << c.Rpm << "," << c.Load;
    }
    EXPECT_DOUBLE_EQ(grid.At(13, 13), 62.2);  // untouched byte 0: 62.228
}

TEST(EZKbinFileTest, MapChoiceSelectsTheSet) {
    TBinBytes image = MakeEZKImage();
    // Byte of G[0][0] in each map, and RPM index 0 of each WOT curve.
    image[0x100F] = 8;   // 98 No-Cat: 59.698 - 3 = 56.698
    image[0x140F] = 16;  // 98 "Cat": 59.698 - 6 = 53.698
    image[0x180F] = 24;  // 91: 59.698 - 9 = 50.698
    image[0x132F] = 8;
    image[0x172F] = 16;
    image[0x1B2F] = 24;
    const TEZKbinFile bin(image);
    struct TCase {
        TEZKMapSource Which;
        double Degrees;
    };
    const TCase cases[] = {{TEZKbinFile::Cat98Map, 53.7},
                           {TEZKbinFile::NoCat98Map, 56.7},
                           {TEZKbinFile::Octane91Map, 50.7},
                           {static_cast<TEZKMapSource>(3), 53.7},
                           {TEZKMapSource::Text, 53.7}};
    for (const TCase& c : cases) {
        TMapGrid map;
        ASSERT_TRUE(bin.ReadMap(c.Which, map));
        EXPECT_DOUBLE_EQ(map.At(0, 0), c.Degrees) << CodeOf(c.Which);
        TMapGrid wot;
        ASSERT_TRUE(bin.ReadWotCurve(c.Which, wot));
        EXPECT_DOUBLE_EQ(wot.At(0, 0), c.Degrees) << CodeOf(c.Which);
    }
}

TEST(EZKbinFileTest, WotCurveFillsRowZeroAndClearsTheRest) {
    TBinBytes image = MakeEZKImage();
    image[0x1720] = 160;       // first byte: RPM index 15, 62.724 - 60 = 2.724
    image[0x1720 + 15] = 160;  // last byte: RPM index 0, -0.302
    TMapGrid grid;
    grid.Fill(5);
    ASSERT_TRUE(TEZKbinFile(image).ReadWotCurve(TEZKbinFile::Cat98Map, grid));
    EXPECT_DOUBLE_EQ(grid.At(15, 0), 2.7);
    EXPECT_DOUBLE_EQ(grid.At(0, 0), -0.3);
    EXPECT_DOUBLE_EQ(grid.At(4, 0), 59.6);  // 59.589
    for (int r = 0; r < MapSize; ++r) {
        for (int l = 1; l < MapSize; ++l) ASSERT_EQ(grid.At(r, l), 0) << r << "," << l;
    }
}

TEST(EZKbinFileTest, RpmAxisFromPeriods) {
    TBinBytes image = MakeEZKImage();
    std::optional<TMapAxis> axis = TEZKbinFile(image).RpmAxis();
    ASSERT_TRUE(axis.has_value());
    for (int k = 0; k < 15; ++k) EXPECT_NEAR((*axis)[k], 10416.666667, 1e-5) << k;  // 60 / (0.0000225 * 256)
    EXPECT_NEAR((*axis)[15], 10457.516340, 1e-5);                                   // 60 / (0.0000225 * 255)

    image[0x11BF] = 16;  // base period 272
    image[0x11B0] = 1;   // counted for k = 0..14
    image[0x11BE] = 2;   // counted for k = 0 only
    axis = TEZKbinFile(image).RpmAxis();
    ASSERT_TRUE(axis.has_value());
    EXPECT_NEAR((*axis)[0], 9389.671362, 1e-5);   // 272 + 4 * 3 = 284
    EXPECT_NEAR((*axis)[1], 9661.835749, 1e-5);   // 272 + 4 = 276
    EXPECT_NEAR((*axis)[14], 9661.835749, 1e-5);  // 276
    EXPECT_NEAR((*axis)[15], 9840.098401, 1e-5);  // 271
}

TEST(EZKbinFileTest, Flags) {
    TBinBytes image = MakeEZKImage();
    const TEZKbinFile plain(image);
    EXPECT_FALSE(plain.GtRpmGrid());
    EXPECT_FALSE(plain.WotMapDisabled());
    EXPECT_EQ(plain.LoadSensor(), TEZKLoadSensor::Maf);

    image[0x11DC] = 0xD8;
    image[0x0BF2] = '?';
    image[0x3FEB] = 2;
    const TEZKbinFile set(image);
    EXPECT_TRUE(set.GtRpmGrid());
    EXPECT_TRUE(set.WotMapDisabled());
    EXPECT_EQ(set.LoadSensor(), TEZKLoadSensor::Alpha);

    image[0x3FEB] = 1;
    EXPECT_EQ(TEZKbinFile(image).LoadSensor(), TEZKLoadSensor::HexaMaf);
    image[0x3FEB] = 3;
    EXPECT_EQ(TEZKbinFile(image).LoadSensor(), TEZKLoadSensor::Maf);
}

TEST(EZKbinFileTest, ShortImagesLeaveGridsAndAxesAlone) {
    TBinBytes shortImage = MakeEZKImage();
    shortImage.resize(0x2000);
    const TBinBytes images[] = {shortImage, TBinBytes{}, TBinBytes(0x1401, 0xD8)};
    for (const TBinBytes& image : images) {
        SCOPED_TRACE(image.size());
        const TEZKbinFile bin(image);
        TMapGrid grid;
        grid.Fill(42);
        EXPECT_FALSE(bin.ReadMap(TEZKbinFile::NoCat98Map, grid));
        EXPECT_FALSE(bin.ReadWotCurve(TEZKbinFile::NoCat98Map, grid));
        for (double v : grid.Values) ASSERT_EQ(v, 42);
        EXPECT_FALSE(bin.RpmAxis().has_value());
    }
    const TEZKbinFile tiny(TBinBytes(16, 0xFF));
    EXPECT_FALSE(tiny.GtRpmGrid());
    EXPECT_FALSE(tiny.WotMapDisabled());
    EXPECT_EQ(tiny.LoadSensor(), TEZKLoadSensor::Maf);
}

}  // namespace
}  // namespace kelvane
