#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <string>

#include "core/shell/MapLoading.h"
#include "support/BinTestImages.h"
#include "support/MapLoadingTestSupport.h"
#include "support/TempFolder.h"

namespace kelvane {
namespace {

using namespace kelvane::testing;

TBinBytes LHDeviceImageWithMaps() {
    TBinBytes image = MakeLHDeviceImage();  // option byte FF: no map marked in use
    for (std::size_t i = 0; i < 256; ++i) {
        image.at(0x3500 + i) = static_cast<std::uint8_t>(140 + i % 30);
        image.at(0x3600 + i) = static_cast<std::uint8_t>(100 + i % 20);
        PutWord(image, 0x3300 + 2 * i, static_cast<std::uint16_t>(30000 + 3 * i));
    }
    return image;
}

TBinBytes EZKImageWithMaps() {
    TBinBytes image = MakeEZKImage();
    for (std::size_t i = 0; i < 256; ++i) {
        image.at(0x1400 + i) = static_cast<std::uint8_t>(45 + i % 10);
        image.at(0x1000 + i) = static_cast<std::uint8_t>(60 + i % 15);
        image.at(0x1800 + i) = static_cast<std::uint8_t>(80 + i % 5);
    }
    return image;
}

class CompareMapFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FState.Setup().LHVersion = TLHVersion::LH23;
        FState.Fuel.Reference = PatternGrid(-10, 2);
        FState.Fuel.ReferenceLoaded = true;
        FState.Ignition.Reference = PatternGrid(20, 1);
        FState.Ignition.ReferenceLoaded = true;
        FState.RecomputeAxes();
        FState.Fuel.ResetAdjustments(FState.Axes.FuelLimits);
        FState.Ignition.ResetAdjustments();
    }
    std::filesystem::path Write(const std::string& name, const TBinBytes& image) {
        const std::filesystem::path path = FFolder.Path() / name;
        WriteBytes(path, image);
        return path;
    }

    TTempFolder FFolder;
    TKelvaneState FState;
};

struct TLHCompareCase {
    TLHMapSource ReferenceSource;
    TBinMapChoice Answer;
    TLHMapSource ExpectedMap;  // text: nothing read
    bool AsksChooser;
};

class LHCompareTest : public CompareMapFileTest, public ::testing::WithParamInterface<TLHCompareCase> {};

TEST_P(LHCompareTest, ReferenceSourceOrDialogPicksTheMap) {
    const TLHCompareCase c = GetParam();
    const TBinBytes image = LHDeviceImageWithMaps();
    FState.Fuel.Source = c.ReferenceSource;
    const TMapGrid updatedBefore = FState.Fuel.Updated;
    TScriptedChooser chooser(c.Answer);

    const TMapLoadResult result = CompareMapFile(FState, Write("cmp.bin", image), chooser);

    EXPECT_EQ(result.Ok, c.ExpectedMap != TLHMapSource::Text);
    EXPECT_TRUE(result.ErrorText.empty());
    EXPECT_EQ(result.Changes, TChangeSet(TChange::FuelMaps));  // never the axes, never the printed values
    EXPECT_EQ(chooser.Kinds.size(), c.AsksChooser ? 1u : 0u);
    if (c.ExpectedMap != TLHMapSource::Text) {
        TMapGrid expected;
        ASSERT_TRUE(TLHbinFile(image).ReadMap(c.ExpectedMap, expected));
        EXPECT_EQ(FState.Fuel.Updated, expected);
        EXPECT_DOUBLE_EQ(FState.Fuel.Adjustments.At(3, 4),
                         FState.Fuel.AdjustmentFor(FState.Fuel.Reference.At(3, 4), expected.At(3, 4)));
    } else {
        EXPECT_EQ(FState.Fuel.Updated, updatedBefore);
        EXPECT_EQ(FState.Fuel.Adjustments, FilledGrid(1.0));
    }
    // A compare leaves the current image, the source and the versions alone.
    EXPECT_EQ(FState.LHImage.Get(), nullptr);
    EXPECT_EQ(FState.Fuel.Source, c.ReferenceSource);
    EXPECT_EQ(FState.Setup().LHVersion, TLHVersion::LH23);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, LHCompareTest,
    ::testing::Values(TLHCompareCase{TLHMapSource::Text, TBinMapChoice::Cat, TLHbinFile::CatMap, true},
                      TLHCompareCase{TLHMapSource::Text, TBinMapChoice::Cancel, TLHMapSource::Text, true},
                      TLHCompareCase{TLHMapSource::NoCat, TBinMapChoice::Cancel, TLHbinFile::NoCatMap, false},
                      TLHCompareCase{TLHMapSource::Cat, TBinMapChoice::Cancel, TLHbinFile::CatMap, false}));

TEST_F(CompareMapFileTest, LH22ImageGoesIntoTheUpdatedMapWithoutAsking) {
    TBinBytes image = MakeLH22Image();
    for (std::size_t i = 0; i < 64; ++i) image.at(0x900 + i) = 0xAA;  // every value 0 + low byte
    for (std::size_t i = 0; i < 256; ++i) image.at(0x300 + i) = static_cast<std::uint8_t>(i % 9);
    TScriptedChooser chooser;

    const TMapLoadResult result = CompareMapFile(FState, Write("lh22.bin", image), chooser);

    EXPECT_TRUE(result.Ok);
    EXPECT_TRUE(chooser.Kinds.empty());
    TMapGrid expected;
    ASSERT_TRUE(TLHbinFile(image).ReadMap(TLHbinFile::CatMap, expected));
    EXPECT_EQ(FState.Fuel.Updated, expected);
    EXPECT_EQ(FState.Setup().LHVersion, TLHVersion::LH23);
}

TEST_F(CompareMapFileTest, EZKImageByReferenceSourceOrDialog) {
    const TBinBytes image = EZKImageWithMaps();
    const auto path = Write("ezk.bin", image);

    FState.Ignition.Source = TEZKMapSource::Octane91;
    TScriptedChooser silent(TBinMapChoice::Cancel);
    EXPECT_TRUE(CompareMapFile(FState, path, silent).Ok);
    EXPECT_TRUE(silent.Kinds.empty());
    TMapGrid expected;
    ASSERT_TRUE(TEZKbinFile(image).ReadMap(TEZKbinFile::Octane91Map, expected));
    EXPECT_EQ(FState.Ignition.Updated, expected);
    EXPECT_DOUBLE_EQ(FState.Ignition.Adjustments.At(5, 6),
                     expected.At(5, 6) - FState.Ignition.Reference.At(5, 6));

    FState.Ignition.Source = TEZKMapSource::Text;
    TScriptedChooser asking(TBinMapChoice::NoCat);
    EXPECT_TRUE(CompareMapFile(FState, path, asking).Ok);
    ASSERT_EQ(asking.Kinds, std::vector<TBinDialogKind>{TBinDialogKind::EZK});
    EXPECT_EQ(asking.Notices[0], EZKWotNotice);
    ASSERT_TRUE(TEZKbinFile(image).ReadMap(TEZKbinFile::NoCat98Map, expected));
    EXPECT_EQ(FState.Ignition.Updated, expected);
    EXPECT_EQ(FState.EZKImage.Get(), nullptr);

    const TMapGrid kept = FState.Ignition.Updated;
    for (TBinMapChoice answer : {TBinMapChoice::Cancel, TBinMapChoice::NoChoice}) {
        TScriptedChooser cancelling(answer);
        EXPECT_FALSE(CompareMapFile(FState, path, cancelling).Ok);
        EXPECT_EQ(FState.Ignition.Updated, kept);
    }
}

TEST_F(CompareMapFileTest, SignaturelessImageIsRefused) {
    const TMapGrid before = FState.Ignition.Updated;
    TScriptedChooser chooser(TBinMapChoice::Cat);

    const TMapLoadResult result =
        CompareMapFile(FState, Write("plain.bin", MakeEZKImage(ImageSize16K, false)), chooser);

    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.ErrorText, "File \"plain.bin\" is not a valid Vortrix bin-file.");
    EXPECT_TRUE(chooser.Kinds.empty());
    EXPECT_EQ(FState.Ignition.Updated, before);
}

TEST_F(CompareMapFileTest, TextMapsGoIntoTheUpdatedMaps) {
    const TMapGrid lh = PatternGrid(-5, 1);
    const TMapGrid ezk = PatternGrid(25.5, 0.5);
    WriteTextFile(FFolder.Path() / "lh.txt", MapFileText(lh, 0));
    WriteTextFile(FFolder.Path() / "ezk.txt", MapFileText(ezk, 1));
    TScriptedChooser chooser;

    EXPECT_TRUE(CompareMapFile(FState, FFolder.Path() / "lh.txt", chooser).Ok);
    EXPECT_TRUE(CompareMapFile(FState, FFolder.Path() / "ezk.txt", chooser).Ok);

    EXPECT_EQ(FState.Fuel.Updated, lh);
    EXPECT_EQ(FState.Fuel.Reference, PatternGrid(-10, 2));
    EXPECT_DOUBLE_EQ(FState.Fuel.Adjustments.At(0, 0), (lh.At(0, 0) + 512) / (-10 + 512));
    EXPECT_EQ(FState.Ignition.Updated, ezk);
    EXPECT_DOUBLE_EQ(FState.Ignition.Adjustments.At(0, 0), ezk.At(0, 0) - 20);
}

// Load and Compare name an unknown text file the same way, by its bare name.
TEST(MapFileMessagesTest, TextThatIsNoMapNamesTheBareFile) {
    TTempFolder folder;
    const auto path = folder.Path() / "notes.txt";
    WriteTextFile(path, "Some notes\r\n1\t2\t3\r\n");
    TKelvaneState state;
    TScriptedChooser chooser;

    const TMapLoadResult load = LoadMapFile(state, path, chooser);
    const TMapLoadResult compare = CompareMapFile(state, path, chooser);

    for (const TMapLoadResult& result : {load, compare}) {
        EXPECT_FALSE(result.Ok);
        EXPECT_EQ(result.ErrorText, "File \"notes.txt\" is not a valid map file");
        EXPECT_TRUE(result.Changes.Empty());
    }
    EXPECT_FALSE(state.Fuel.ReferenceLoaded);
    EXPECT_FALSE(state.Ignition.ReferenceLoaded);
}

// A map file or bin image that cannot be read says so and why, as the log reader
// does, for Load and Compare alike; a pipe is refused without waiting on it.
TEST(MapFileMessagesTest, UnreadableFilesAreToldAsUnreadable) {
#ifdef _WIN32
    GTEST_SKIP()
        << "named pipes are POSIX; the Windows refusals of pipes and devices are tested with the platform";
#else
    TTempFolder folder;
    std::filesystem::create_directory(folder.Path() / "folder.txt");
    std::filesystem::create_directory(folder.Path() / "folder.bin");
    ASSERT_EQ(::mkfifo((folder.Path() / "pipe.txt").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((folder.Path() / "pipe.bin").c_str(), 0600), 0);
    struct TCase {
        const char* Name;
        const char* Text;
    };
    const TCase cases[] = {
        {"absent.txt", "Cannot read absent.txt: No such file or directory"},
        {"absent.bin", "Cannot read absent.bin: No such file or directory"},
        {"folder.txt", "Cannot read folder.txt: not a regular file"},
        {"folder.bin", "Cannot read folder.bin: not a regular file"},
        {"pipe.txt", "Cannot read pipe.txt: not a regular file"},
        {"pipe.bin", "Cannot read pipe.bin: not a regular file"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TKelvaneState state;
        TScriptedChooser chooser;
        const std::filesystem::path path = folder.Path() / c.Name;
        for (const TMapLoadResult& result :
             {LoadMapFile(state, path, chooser), CompareMapFile(state, path, chooser)}) {
            EXPECT_FALSE(result.Ok);
            EXPECT_EQ(result.ErrorText, c.Text);
            EXPECT_TRUE(result.Changes.Empty());
        }
        EXPECT_FALSE(state.Fuel.ReferenceLoaded);
        EXPECT_FALSE(state.Ignition.ReferenceLoaded);
    }
#endif
}

TEST(MapFileMessagesTest, MessageTexts) {
    const std::filesystem::path path = "/some/folder/ecu.bin";
    EXPECT_EQ(NotValidLHBinText(path), "File \"ecu.bin\" is not a valid LH bin-file.");
    EXPECT_EQ(NotValidEZKBinText(path), "File \"ecu.bin\" is not a valid EZK bin-file.");
}

}  // namespace
}  // namespace kelvane
