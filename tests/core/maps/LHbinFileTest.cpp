#include <gtest/gtest.h>

#include <string>

#include "core/maps/BinFileUtils.h"
#include "support/BinTestImages.h"

namespace kelvane {
namespace {

using testing::MakeEZKImage;
using testing::MakeLH22Image;
using testing::MakeLHDeviceImage;
using testing::PutText;
using testing::PutWord;

TBinBytes Resized(TBinBytes image, std::size_t size) {
    image.resize(size, 0);
    return image;
}

TBinBytes QuotedSignatureImage() {
    TBinBytes image(0x4000, 0);
    PutText(image, 0x3FF0, "\x22QR\x93\x22");
    return image;
}

TBinBytes SignatureOnlyInSecondBlock() {
    TBinBytes image(0x8000, 0);
    PutText(image, 0x7FF0, "QRM-D");
    return image;
}

TBinBytes DeviceImageWithLH22Mark() {
    TBinBytes image = MakeLHDeviceImage();
    PutText(image, 0x0FD9, "JU");
    return image;
}

TEST(LHbinFileTest, ImageKindsBySignatureAndSize) {
    struct TCase {
        std::string Name;
        TBinBytes Image;
        TBinImageKind Kind;
    };
    const TCase cases[] = {
        {"device 16 KB", MakeLHDeviceImage(), TBinImageKind::LHDevice},
        {"device, quoted signature", QuotedSignatureImage(), TBinImageKind::LHDevice},
        {"device 32 KB", MakeLHDeviceImage(0x8000), TBinImageKind::LHDevice},
        {"device one byte short", Resized(MakeLHDeviceImage(), 0x3FFF), TBinImageKind::NotBinImage},
        {"device 20000 bytes", Resized(MakeLHDeviceImage(), 20000), TBinImageKind::NotBinImage},
        {"signature only at the end of 32 KB", SignatureOnlyInSecondBlock(), TBinImageKind::EZKSizeOnly},
        {"device with JU", DeviceImageWithLH22Mark(), TBinImageKind::LH22},
        {"LH 2.2 4 KB", MakeLH22Image(), TBinImageKind::LH22},
        {"LH 2.2 8 KB", MakeLH22Image(0x2000), TBinImageKind::LH22},
        {"LH 2.2 one byte short", Resized(MakeLH22Image(), 0xFFF), TBinImageKind::NotBinImage},
        {"LH 2.2 6000 bytes", Resized(MakeLH22Image(), 6000), TBinImageKind::NotBinImage},
        {"mark cut in half", TBinBytes(0xFDA, 'J'), TBinImageKind::NotBinImage},
        {"EZK signed", MakeEZKImage(), TBinImageKind::EZKSignature},
        {"EZK unsigned", MakeEZKImage(0x4000, false), TBinImageKind::EZKSizeOnly},
        {"EZK signed one byte short", Resized(MakeEZKImage(), 0x3FFF), TBinImageKind::NotBinImage},
        {"empty", TBinBytes{}, TBinImageKind::NotBinImage},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(ClassifyBinImage(c.Image), c.Kind) << c.Name;
        const bool lhKind = c.Kind == TBinImageKind::LHDevice || c.Kind == TBinImageKind::LH22;
        EXPECT_EQ(TLHbinFile(c.Image).IsValid(), lhKind) << c.Name;
    }
}

TEST(LHbinFileTest, KindTextsForTheCommandLine) {
    EXPECT_EQ(BinImageKindText(TBinImageKind::LHDevice), "LH device");
    EXPECT_EQ(BinImageKindText(TBinImageKind::LH22), "LH 2.2");
    EXPECT_EQ(BinImageKindText(TBinImageKind::EZKSignature), "EZK");
    EXPECT_EQ(BinImageKindText(TBinImageKind::EZKSizeOnly), "EZK (no signature)");
    EXPECT_EQ(BinImageKindText(TBinImageKind::NotBinImage), "not a bin image");
}

TEST(LHbinFileTest, ByteMapsAreLoadRowsWithRpmBackwards) {
    TBinBytes image = MakeLHDeviceImage();
    for (std::size_t i = 0; i < 256; ++i) {
        image[0x3500 + i] = 128;
        image[0x3600 + i] = 128;
    }
    image[0x3500 + 16 * 2 + (15 - 5)] = 200;  // "Cat" G[5][2]
    image[0x3500] = 0;                        // "Cat" first byte: G[15][0]
    image[0x3600 + 16 * 15 + 15] = 255;       // No-Cat last byte: G[0][15]
    const TLHbinFile bin(image);

    TMapGrid cat;
    ASSERT_TRUE(bin.ReadMap(TLHbinFile::CatMap, cat));
    EXPECT_EQ(cat.At(5, 2), 72);
    EXPECT_EQ(cat.At(15, 0), -128);
    EXPECT_EQ(cat.At(0, 15), 0);
    EXPECT_EQ(cat.At(7, 7), 0);

    TMapGrid noCat;
    ASSERT_TRUE(bin.ReadMap(TLHbinFile::NoCatMap, noCat));
    EXPECT_EQ(noCat.At(0, 15), 127);
    EXPECT_EQ(noCat.At(5, 2), 0);

    TMapGrid other;
    ASSERT_TRUE(bin.ReadMap(static_cast<TLHMapSource>(9), other));  // unknown choices read the "Cat" map
    EXPECT_EQ(other, cat);
}

// Cell (r, l) is value n = 16*(15-l) + (15-r): low 8 bits at 0300+n, top two
// bits in byte 0900 + n/4, the first of each four in bits 7-6.
TEST(LHbinFileTest, LH22MapUnpacksTenBitValues) {
    TBinBytes image = MakeLH22Image();
    image[0x0900] = 0xE4;  // top bits 3, 2, 1, 0 for n = 0..3
    image[0x0300] = 0xFF;  // n = 0: G[15][15]
    image[0x0301] = 0x05;  // n = 1: G[14][15]
    image[0x0302] = 0x80;  // n = 2: G[13][15]
    image[0x0303] = 0x01;  // n = 3: G[12][15]
    image[0x093F] = 0x01;  // n = 255 (fourth of its group): top bits 1
    image[0x03FF] = 0x00;  // n = 255: G[0][0]
    const TLHbinFile bin(image);
    ASSERT_TRUE(bin.IsLH22Image());

    TMapGrid grid;
    ASSERT_TRUE(bin.ReadMap(TLHbinFile::CatMap, grid));
    EXPECT_EQ(grid.At(15, 15), 511);
    EXPECT_EQ(grid.At(14, 15), 5);
    EXPECT_EQ(grid.At(13, 15), -128);
    EXPECT_EQ(grid.At(12, 15), -511);
    EXPECT_EQ(grid.At(0, 0), -256);
    EXPECT_EQ(grid.At(5, 5), -512);

    TMapGrid noCat;
    ASSERT_TRUE(bin.ReadMap(TLHbinFile::NoCatMap, noCat));
    EXPECT_EQ(noCat, grid);

    TMapGrid untouched;
    untouched.Fill(3);
    EXPECT_FALSE(bin.ReadMap(TLHbinFile::PrimaryLoadMap, untouched));
    for (double v : untouched.Values) EXPECT_EQ(v, 3);
}

TEST(LHbinFileTest, PrimaryLoadMapIsBigEndianWords) {
    TBinBytes image = MakeLHDeviceImage();
    PutWord(image, 0x3300, 0x1234);                    // G[15][0]
    PutWord(image, 0x3300 + 32 * 1 + 2 * 15, 0xFFFE);  // G[0][1]
    const TLHbinFile bin(image);
    TMapGrid grid;
    grid.Fill(-1);
    ASSERT_TRUE(bin.ReadMap(TLHbinFile::PrimaryLoadMap, grid));
    EXPECT_EQ(grid.At(15, 0), 0x1234);
    EXPECT_EQ(grid.At(0, 1), 65534);
    EXPECT_EQ(grid.At(0, 0), 0x0101);  // the HexaMAF word at 331E lies inside the map
    EXPECT_EQ(grid.At(8, 8), 0);
}

TEST(LHbinFileTest, WotMapsReadBackwardsAndZeroTest) {
    TBinBytes image = MakeLHDeviceImage();
    image[0x378B + 15] = 7;  // "Cat" WOT, RPM index 0
    image[0x378B] = 9;       // RPM index 15
    const TLHbinFile bin(image);

    TWotMap cat{};
    ASSERT_TRUE(bin.ReadCatWotMap(cat));
    EXPECT_EQ(cat[0], 7);
    EXPECT_EQ(cat[15], 9);
    EXPECT_FALSE(TLHbinFile::WotMapZeroed(cat));

    TWotMap noCat{};
    noCat.fill(5);
    ASSERT_TRUE(bin.ReadNoCatWotMap(noCat));
    EXPECT_TRUE(TLHbinFile::WotMapZeroed(noCat));

    image[0x37AF + 4] = 1;
    ASSERT_TRUE(TLHbinFile(image).ReadNoCatWotMap(noCat));
    EXPECT_EQ(noCat[11], 1);
    EXPECT_FALSE(TLHbinFile::WotMapZeroed(noCat));

    TWotMap nearlyZero{};
    nearlyZero[3] = -0.0001;
    EXPECT_TRUE(TLHbinFile::WotMapZeroed(nearlyZero));
    nearlyZero[3] = 0.00011;
    EXPECT_FALSE(TLHbinFile::WotMapZeroed(nearlyZero));
}

TEST(LHbinFileTest, OptionByteChoosesMapsAndSensor) {
    struct TCase {
        std::uint8_t Option;
        std::uint16_t HexaMafWord;
        bool Cat, NoCat, Primary;
        TLHLoadSensor Sensor;
    };
    const TCase cases[] = {
        {0xFE, 0x0101, true, false, false, TLHLoadSensor::Maf},
        {0xFD, 0x0101, false, true, false, TLHLoadSensor::Maf},
        {0xFC, 0x0101, true, true, false, TLHLoadSensor::Maf},
        {0xFF, 0x0000, false, false, false, TLHLoadSensor::HexaMaf},
        {0x7F, 0x0101, false, false, true, TLHLoadSensor::Alpha},
        {0x1F, 0x0101, false, false, true, TLHLoadSensor::Map},
        {0x5F, 0x0000, false, false, true, TLHLoadSensor::Maf},  // bit 7 clear: never HexaMAF
        {0x3E, 0x0101, true, false, true, TLHLoadSensor::Maf},
    };
    for (const TCase& c : cases) {
        TBinBytes image = MakeLHDeviceImage();
        image[0x3FF6] = c.Option;
        PutWord(image, 0x331E, c.HexaMafWord);
        const TLHbinFile bin(image);
        SCOPED_TRACE(static_cast<int>(c.Option));
        EXPECT_EQ(bin.CatMapInUse(), c.Cat);
        EXPECT_EQ(bin.NoCatMapInUse(), c.NoCat);
        EXPECT_EQ(bin.PrimaryLoadMapInUse(), c.Primary);
        EXPECT_EQ(bin.LoadSensor(), c.Sensor);
    }
}

TEST(LHbinFileTest, LH22HexaMafComesFromItsOwnMarker) {
    TBinBytes image = MakeLH22Image();
    EXPECT_EQ(TLHbinFile(image).LoadSensor(), TLHLoadSensor::Maf);
    image[0x0990] = 0xC0;
    EXPECT_EQ(TLHbinFile(image).LoadSensor(), TLHLoadSensor::HexaMaf);

    TBinBytes device = DeviceImageWithLH22Mark();  // word at 331E is not zero here
    device[0x0990] = 0xC0;
    EXPECT_EQ(TLHbinFile(device).LoadSensor(), TLHLoadSensor::HexaMaf);
}

TEST(LHbinFileTest, AdaptationDisabledIsBit7) {
    TBinBytes image = MakeLHDeviceImage();
    image[0x308D] = 0x7F;
    EXPECT_FALSE(TLHbinFile(image).AdaptationDisabled());
    image[0x308D] = 0x80;
    EXPECT_TRUE(TLHbinFile(image).AdaptationDisabled());
}

// Steps at 32DD + k are k + 1; base word FC00 puts the top at 1024.
TEST(LHbinFileTest, LoadAxisStepsDownFromTheBaseWord) {
    TBinBytes image = MakeLHDeviceImage();
    for (int k = 0; k < 15; ++k) image[0x32DD + k] = static_cast<std::uint8_t>(k + 1);
    PutWord(image, 0x32EC, 0xFC00);

    const std::optional<TMapAxis> maf = TLHbinFile(image).LoadAxis();
    ASSERT_TRUE(maf.has_value());
    EXPECT_EQ((*maf)[15], 1024);
    EXPECT_EQ((*maf)[14], 1009);
    EXPECT_EQ((*maf)[13], 995);
    EXPECT_EQ((*maf)[0], 904);

    image[0x3FF6] = 0x7F;  // VX-Alpha: steps count four times
    const std::optional<TMapAxis> alpha = TLHbinFile(image).LoadAxis();
    ASSERT_TRUE(alpha.has_value());
    EXPECT_EQ((*alpha)[15], 1024);
    EXPECT_EQ((*alpha)[14], 964);
    EXPECT_EQ((*alpha)[0], 544);
}

// Images that are short, empty or foreign never read past their end and
// never hand out made-up maps or axes.
TEST(LHbinFileTest, ShortAndForeignImagesLeaveEverythingAlone) {
    TBinBytes nearlyDevice = MakeLHDeviceImage();
    nearlyDevice[0x3500] = 1;
    nearlyDevice.pop_back();
    TBinBytes foreign(0x4000, 0x5A);
    const TBinBytes images[] = {nearlyDevice, foreign, TBinBytes{}, TBinBytes(100, 0xFF)};
    for (const TBinBytes& image : images) {
        SCOPED_TRACE(image.size());
        const TLHbinFile bin(image);
        for (TLHMapSource which : {TLHbinFile::CatMap, TLHbinFile::NoCatMap, TLHbinFile::PrimaryLoadMap}) {
            TMapGrid grid;
            grid.Fill(42);
            EXPECT_FALSE(bin.ReadMap(which, grid));
            for (double v : grid.Values) ASSERT_EQ(v, 42);
        }
        TWotMap wot{};
        wot.fill(6);
        EXPECT_FALSE(bin.ReadCatWotMap(wot));
        EXPECT_FALSE(bin.ReadNoCatWotMap(wot));
        for (double v : wot) EXPECT_EQ(v, 6);
        EXPECT_FALSE(bin.RpmAxis().has_value());
        EXPECT_FALSE(bin.LoadAxis().has_value());
    }
    // Flags whose byte lies beyond the end read as not set.
    const TLHbinFile tiny(TBinBytes(100, 0xFF));
    EXPECT_FALSE(tiny.AdaptationDisabled());
    EXPECT_FALSE(tiny.CatMapInUse());
    EXPECT_FALSE(tiny.PrimaryLoadMapInUse());
    EXPECT_EQ(tiny.LoadSensor(), TLHLoadSensor::Maf);
    EXPECT_FALSE(TLHbinFile().IsLH22Image());
}

// A 4 KB chip image is valid and has its map, but holds no LH 2.3 axes or
// option byte: the caller falls back to its default tables.
TEST(LHbinFileTest, LH22ChipImageSuppliesNoAxes) {
    TBinBytes image = MakeLH22Image();
    const TLHbinFile bin(image);
    ASSERT_TRUE(bin.IsValid());
    EXPECT_FALSE(bin.RpmAxis().has_value());
    EXPECT_FALSE(bin.LoadAxis().has_value());
    EXPECT_FALSE(bin.CatMapInUse());
    EXPECT_FALSE(bin.PrimaryLoadMapInUse());
    TWotMap wot{};
    EXPECT_FALSE(bin.ReadCatWotMap(wot));
}

}  // namespace
}  // namespace kelvane
