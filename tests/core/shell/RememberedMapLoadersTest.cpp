#include <gtest/gtest.h>

#include "core/shell/MapLoading.h"
#include "support/BinTestImages.h"
#include "support/MapLoadingTestSupport.h"
#include "support/TempFolder.h"

namespace kelvane {
namespace {

using namespace kelvane::testing;

class RememberedMapLoadersTest : public ::testing::Test {
  protected:
    std::filesystem::path Path(const char* name) const { return FFolder.Path() / name; }

    TTempFolder FFolder;
    TKelvaneState FState;
};

TEST_F(RememberedMapLoadersTest, LHTextReferenceRecordsItsPath) {
    const TMapGrid map = PatternGrid(-40, 5);
    WriteTextFile(Path("ref.txt"), MapFileText(map, 0));
    FState.Fuel.Source = TLHMapSource::NoCat;
    FState.Fuel.Adjustments.Fill(0.9);

    EXPECT_TRUE(LoadLHReference(FState, Path("ref.txt"), TLHMapSource::NoCat));

    EXPECT_EQ(FState.Fuel.Source, TLHMapSource::Text);
    EXPECT_EQ(FState.Fuel.Reference, map);
    EXPECT_TRUE(FState.Fuel.ReferenceLoaded);
    EXPECT_EQ(FState.Fuel.ReferencePath, Path("ref.txt"));
    EXPECT_EQ(FState.Fuel.Updated, map);
}

TEST_F(RememberedMapLoadersTest, ShortLHTextIsNotLoadedAndKeepsThePath) {
    WriteTextFile(Path("short.txt"), "1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t13\t14\t15\t16\r\n");
    FState.Fuel.ReferencePath = "/old/ref.txt";

    EXPECT_FALSE(LoadLHReference(FState, Path("short.txt"), TLHMapSource::Text));

    EXPECT_FALSE(FState.Fuel.ReferenceLoaded);
    EXPECT_EQ(FState.Fuel.ReferencePath, "/old/ref.txt");
    EXPECT_EQ(FState.Fuel.Reference.At(15, 0), 16);  // the row read stays
}

TEST_F(RememberedMapLoadersTest, LHImageReadsTheRememberedMap) {
    TBinBytes image = MakeLHDeviceImage();
    for (std::size_t i = 0; i < 256; ++i)
        PutWord(image, 0x3300 + 2 * i, static_cast<std::uint16_t>(40000 + i));
    WriteBytes(Path("lh.bin"), image);

    EXPECT_TRUE(LoadLHReference(FState, Path("lh.bin"), TLHMapSource::PrimaryLoad));

    EXPECT_EQ(FState.Fuel.Source, TLHMapSource::PrimaryLoad);
    EXPECT_EQ(FState.Fuel.ReferencePath, Path("lh.bin"));
    EXPECT_EQ(FState.Fuel.Reference.At(15, 0), 40000);
    // Limits of the Primary Load Map were in force for the updated map.
    EXPECT_EQ(FState.Fuel.Updated, FState.Fuel.Reference);
    ASSERT_NE(FState.LHImage.Get(), nullptr);
}

// An LH 2.2 chip has no Primary Load Map: nothing is read and nothing changes.
TEST_F(RememberedMapLoadersTest, LH22ImageAskedForPrimaryLoadMapReadsNothing) {
    WriteBytes(Path("lh22.bin"), MakeLH22Image());
    const TMapGrid before = PatternGrid(3, 1);
    FState.Fuel.Reference = before;
    FState.Fuel.ReferenceLoaded = true;
    FState.Fuel.ReferencePath = "/old/ref.txt";
    FState.Fuel.Source = TLHMapSource::Cat;
    FState.Fuel.Adjustments.Fill(1.1);

    EXPECT_FALSE(LoadLHReference(FState, Path("lh22.bin"), TLHMapSource::PrimaryLoad));

    EXPECT_EQ(FState.Fuel.Reference, before);
    EXPECT_TRUE(FState.Fuel.ReferenceLoaded);
    EXPECT_EQ(FState.Fuel.ReferencePath, "/old/ref.txt");
    EXPECT_EQ(FState.Fuel.Source, TLHMapSource::Cat);
    EXPECT_EQ(FState.Fuel.Adjustments, FilledGrid(1.1));

    EXPECT_TRUE(LoadLHReference(FState, Path("lh22.bin"), TLHMapSource::Text));
    EXPECT_EQ(FState.Fuel.Source, TLHMapSource::Text);
}

TEST_F(RememberedMapLoadersTest, EZKReferenceFromImageHasNoWotCurve) {
    TBinBytes image = MakeEZKImage();
    for (std::size_t i = 0; i < 256; ++i) image.at(0x1000 + i) = static_cast<std::uint8_t>(60 + i % 7);
    for (std::size_t i = 0; i < 16; ++i) image.at(0x1320 + i) = 33;
    WriteBytes(Path("ezk.bin"), image);

    EXPECT_TRUE(LoadEZKReference(FState, Path("ezk.bin"), TEZKMapSource::NoCat98));

    TMapGrid expected;
    ASSERT_TRUE(TEZKbinFile(image).ReadMap(TEZKbinFile::NoCat98Map, expected));
    EXPECT_EQ(FState.Ignition.Reference, expected);
    EXPECT_EQ(FState.Ignition.Source, TEZKMapSource::NoCat98);
    EXPECT_EQ(FState.Ignition.ReferencePath, Path("ezk.bin"));
    EXPECT_EQ(FState.Ignition.WotCurve, TMapGrid{});
    EXPECT_EQ(FState.Ignition.Updated, expected);
}

TEST_F(RememberedMapLoadersTest, UpdatedMapsRecomputeAdjustments) {
    const TMapGrid lh = PatternGrid(10, 1);
    const TMapGrid ezk = PatternGrid(30.5, 0.5);
    WriteTextFile(Path("lh.txt"), MapFileText(lh, 0));
    WriteTextFile(Path("ezk.txt"), MapFileText(ezk, 1));

    EXPECT_TRUE(LoadLHUpdatedMap(FState, Path("lh.txt")));
    EXPECT_TRUE(LoadEZKUpdatedMap(FState, Path("ezk.txt")));

    EXPECT_EQ(FState.Fuel.UpdatedPath, Path("lh.txt"));
    EXPECT_EQ(FState.Fuel.Updated, lh);
    EXPECT_DOUBLE_EQ(FState.Fuel.Adjustments.At(0, 0), (lh.At(0, 0) + 512) / 512);
    EXPECT_EQ(FState.Ignition.UpdatedPath, Path("ezk.txt"));
    EXPECT_DOUBLE_EQ(FState.Ignition.Adjustments.At(0, 0), ezk.At(0, 0));

    // An LH text is no EZK updated map.
    EXPECT_FALSE(LoadEZKUpdatedMap(FState, Path("lh.txt")));
    EXPECT_EQ(FState.Ignition.Updated, ezk);
    EXPECT_EQ(FState.Ignition.UpdatedPath, Path("ezk.txt"));
}

TEST_F(RememberedMapLoadersTest, OtherPathsReadNothing) {
    WriteBytes(Path("lh.dat"), MakeLHDeviceImage());
    EXPECT_FALSE(LoadLHReference(FState, Path("lh.dat"), TLHMapSource::Cat));
    EXPECT_FALSE(LoadLHReference(FState, Path("missing.bin"), TLHMapSource::Cat));
    EXPECT_FALSE(LoadEZKReference(FState, Path("missing.bin"), TEZKMapSource::Cat98));
    EXPECT_FALSE(LoadLHUpdatedMap(FState, Path("lh.dat")));
    EXPECT_FALSE(FState.Fuel.ReferenceLoaded);
    EXPECT_FALSE(FState.Ignition.ReferenceLoaded);
}

}  // namespace
}  // namespace kelvane
