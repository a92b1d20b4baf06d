#include <gtest/gtest.h>

#include <string>

#include "core/shell/MapLoading.h"
#include "support/BinTestImages.h"
#include "support/MapLoadingTestSupport.h"
#include "support/TempFolder.h"

namespace kelvane {
namespace {

using namespace kelvane::testing;

constexpr std::size_t OptionByte = 0x3FF6;
constexpr std::size_t AdaptationByte = 0x308D;

// A device image with distinct Cat, No-Cat and Primary Load maps, adaptation
// disabled and zeroed WOT maps, so only the option byte decides.
TBinBytes LHDeviceImage(std::uint8_t option) {
    TBinBytes image = MakeLHDeviceImage();
    image.at(OptionByte) = option;
    image.at(AdaptationByte) = 0x80;
    for (std::size_t i = 0; i < 256; ++i) {
        image.at(0x3500 + i) = static_cast<std::uint8_t>(128 + i % 50);
        image.at(0x3600 + i) = static_cast<std::uint8_t>(128 - i % 40);
        PutWord(image, 0x3300 + 2 * i, static_cast<std::uint16_t>(20000 + 7 * i));
    }
    return image;
}

// An LH 2.2 chip image whose map is 0 everywhere except 300 at the top cell
// (RPM and load index 15), a value beyond the LH 2.3 limits.
TBinBytes LH22ImageWithHighCell() {
    TBinBytes image = MakeLH22Image();
    for (std::size_t i = 0; i < 64; ++i) image.at(0x900 + i) = 0xAA;  // high bits 10: value + 512
    image.at(0x900) = 0xEA;                                           // first value: high bits 11
    image.at(0x300) = 0x2C;                                           // 0x32C - 512 = 300
    return image;
}

TBinBytes EZKImage(bool signature, bool gt, bool wotDisabled) {
    TBinBytes image = MakeEZKImage(ImageSize16K, signature);
    for (std::size_t i = 0; i < 256; ++i) {
        image.at(0x1400 + i) = static_cast<std::uint8_t>(40 + i % 30);  // 98 Cat: below 48 degrees
        image.at(0x1000 + i) = static_cast<std::uint8_t>(50 + i % 25);  // 98 No-Cat
        image.at(0x1800 + i) = static_cast<std::uint8_t>(90 + i % 20);  // 91
    }
    for (std::size_t i = 0; i < 16; ++i) image.at(0x1720 + i) = static_cast<std::uint8_t>(20 + i);
    if (gt) image.at(0x11DC) = 0xD8;
    if (wotDisabled) image.at(0x0BF2) = '?';
    return image;
}

TMapGrid LHMap(const TBinBytes& image, TLHMapSource which) {
    TMapGrid grid;
    EXPECT_TRUE(TLHbinFile(image).ReadMap(which, grid));
    return grid;
}

TMapGrid EZKMap(const TBinBytes& image, TEZKMapSource which) {
    TMapGrid grid;
    EXPECT_TRUE(TEZKbinFile(image).ReadMap(which, grid));
    return grid;
}

class LoadMapFileTest : public ::testing::Test {
  protected:
    std::filesystem::path WriteImage(const std::string& name, const TBinBytes& image) {
        const std::filesystem::path path = FFolder.Path() / name;
        WriteBytes(path, image);
        return path;
    }
    std::filesystem::path WriteText(const std::string& name, const std::string& text) {
        const std::filesystem::path path = FFolder.Path() / name;
        WriteTextFile(path, text);
        return path;
    }

    TTempFolder FFolder;
    TKelvaneState FState;
};

struct TOptionCase {
    std::uint8_t Option;
    TBinMapChoice Answer;
    TLHMapSource ExpectedSource;
    bool AsksChooser;
};

class LHDeviceOptionTest : public LoadMapFileTest, public ::testing::WithParamInterface<TOptionCase> {};

TEST_P(LHDeviceOptionTest, OptionByteOrDialogDecidesTheMap) {
    const TOptionCase c = GetParam();
    const TBinBytes image = LHDeviceImage(c.Option);
    const auto path = WriteImage("device.bin", image);
    FState.Setup().LHVersion = TLHVersion::LH22;
    FState.Fuel.ReferencePath = "/maps/kept.txt";
    FState.Fuel.Adjustments.Fill(1.1);
    TScriptedChooser chooser(c.Answer);

    const TMapLoadResult result = LoadMapFile(FState, path, chooser);

    EXPECT_TRUE(result.Ok);
    EXPECT_TRUE(result.ErrorText.empty());
    EXPECT_TRUE(result.Changes.Has(TChange::Overlay));
    EXPECT_EQ(FState.PlotDisplay.Overlay, TMapOverlay::Reference);
    EXPECT_EQ(chooser.Kinds.size(), c.AsksChooser ? 1u : 0u);
    EXPECT_EQ(FState.Setup().LHVersion, TLHVersion::LH23);
    EXPECT_EQ(FState.Fuel.Source, c.ExpectedSource);
    EXPECT_TRUE(FState.Fuel.ReferenceLoaded);
    EXPECT_EQ(FState.Fuel.Reference, LHMap(image, c.ExpectedSource));
    EXPECT_EQ(FState.Fuel.ReferencePath, path);  // updated maps are named after it
    EXPECT_EQ(FState.Fuel.Adjustments, FilledGrid(1.0));
    EXPECT_EQ(FState.Fuel.Updated, FState.Fuel.Reference);  // nothing clamped with the source's limits
    EXPECT_EQ(FState.Axes.FuelLimits, FuelLimitsFor(TLHVersion::LH23, c.ExpectedSource));
    ASSERT_NE(FState.LHImage.Get(), nullptr);  // the image stays current
}

INSTANTIATE_TEST_SUITE_P(
    Options, LHDeviceOptionTest,
    ::testing::Values(TOptionCase{0xFE, TBinMapChoice::Cancel, TLHMapSource::Cat, false},
                      TOptionCase{0xFC, TBinMapChoice::Cancel, TLHMapSource::Cat, false},
                      TOptionCase{0xFD, TBinMapChoice::Cancel, TLHMapSource::NoCat, false},
                      TOptionCase{0xFF, TBinMapChoice::NoCat, TLHMapSource::NoCat, true},
                      TOptionCase{0xFF, TBinMapChoice::PrimaryLoad, TLHMapSource::PrimaryLoad, true}));

TEST_F(LoadMapFileTest, LHDialogNoticeListsWhatWasNotDisabled) {
    TBinBytes image = LHDeviceImage(0xFF);
    image.at(AdaptationByte) = 0x00;
    image.at(0x378B + 3) = 5;  // Cat WOT map not zeroed; No-Cat WOT stays zero
    TScriptedChooser chooser(TBinMapChoice::Cancel);

    LoadMapFile(FState, WriteImage("notice.bin", image), chooser);

    ASSERT_EQ(chooser.Kinds.size(), 1u);
    EXPECT_EQ(chooser.Kinds[0], TBinDialogKind::LH);
    EXPECT_EQ(chooser.Notices[0], std::string(LHAdaptationNotice) + "\n" + std::string(LHCatWotNotice));

    image.at(AdaptationByte) = 0x80;
    image.at(0x378B + 3) = 0;
    image.at(0x37AF) = 1;
    EXPECT_EQ(LHBinNotice(TLHbinFile(image)), LHNoCatWotNotice);
    image.at(0x37AF) = 0;
    EXPECT_EQ(LHBinNotice(TLHbinFile(image)), "");  // notice group hidden
}

TEST_F(LoadMapFileTest, LH22ImageSetsLH22AndKeepsValuesBeyondLH23Limits) {
    FState.Setup().LHVersion = TLHVersion::LH23;
    FState.Fuel.Source = TLHMapSource::Cat;
    TScriptedChooser chooser;

    const TMapLoadResult result =
        LoadMapFile(FState, WriteImage("lh22.bin", LH22ImageWithHighCell()), chooser);

    EXPECT_TRUE(result.Ok);
    EXPECT_TRUE(chooser.Kinds.empty());
    EXPECT_EQ(FState.Setup().LHVersion, TLHVersion::LH22);
    EXPECT_EQ(FState.Fuel.Source, TLHMapSource::Text);
    EXPECT_TRUE(FState.Fuel.ReferenceLoaded);
    EXPECT_EQ(FState.Fuel.Reference.At(15, 15), 300);
    // The limits of LH 2.2 were in force when the updated map was computed.
    EXPECT_EQ(FState.Axes.FuelLimits, FuelLimitsFor(TLHVersion::LH22, TLHMapSource::Text));
    EXPECT_EQ(FState.Fuel.Updated.At(15, 15), 300);
    EXPECT_EQ(FState.Fuel.Updated.At(0, 0), 0);
}

struct TEZKCase {
    bool Gt;
    bool WotDisabled;
    TBinMapChoice Answer;
};

class EZKLoadTest : public LoadMapFileTest, public ::testing::WithParamInterface<TEZKCase> {};

TEST_P(EZKLoadTest, SetsVersionsAndReadsTheChosenMap) {
    const TEZKCase c = GetParam();
    const TBinBytes image = EZKImage(true, c.Gt, c.WotDisabled);
    FState.Setup().LHVersion = TLHVersion::LH22;
    FState.Setup().EZKVersion = c.Gt ? TEZKVersion::S4 : TEZKVersion::GT;
    FState.Ignition.Adjustments.Fill(2.0);
    TScriptedChooser chooser(c.Answer);

    const std::filesystem::path path = WriteImage("ezk.bin", image);
    const TMapLoadResult result = LoadMapFile(FState, path, chooser);

    EXPECT_TRUE(result.Ok);
    EXPECT_EQ(FState.Ignition.ReferencePath, path);
    EXPECT_TRUE(result.Changes.Has(TChange::Overlay));
    EXPECT_EQ(FState.Setup().LHVersion, TLHVersion::LH23);
    EXPECT_EQ(FState.Setup().EZKVersion, c.Gt ? TEZKVersion::GT : TEZKVersion::S4);
    ASSERT_EQ(chooser.Kinds.size(), 1u);
    EXPECT_EQ(chooser.Kinds[0], TBinDialogKind::EZK);
    EXPECT_EQ(chooser.Notices[0], c.WotDisabled ? "" : std::string(EZKWotNotice));
    const TEZKMapSource which = EZKMapSourceOf(c.Answer);
    EXPECT_EQ(FState.Ignition.Source, which);
    EXPECT_TRUE(FState.Ignition.ReferenceLoaded);
    EXPECT_EQ(FState.Ignition.Reference, EZKMap(image, which));
    TMapGrid wot;
    ASSERT_TRUE(TEZKbinFile(image).ReadWotCurve(which, wot));
    EXPECT_EQ(FState.Ignition.WotCurve, wot);
    EXPECT_EQ(FState.Ignition.Adjustments, TMapGrid{});
    // The axes follow the image's RPM grid.
    ASSERT_NE(FState.EZKImage.Get(), nullptr);
    EXPECT_EQ(FState.Axes.EZKRpm, *FState.EZKImage.Get()->RpmAxis());
}

INSTANTIATE_TEST_SUITE_P(Images, EZKLoadTest,
                         ::testing::Values(TEZKCase{true, false, TBinMapChoice::Cat},
                                           TEZKCase{false, true, TBinMapChoice::NoCat},
                                           TEZKCase{false, false, TBinMapChoice::Octane91}));

TEST_F(LoadMapFileTest, EZKOkWithoutChoiceMarksLoadedAndKeepsTheMap) {
    const TMapGrid before = PatternGrid(20, 0.5);
    FState.Ignition.Reference = before;
    FState.Ignition.Source = TEZKMapSource::NoCat98;
    FState.Ignition.ReferencePath = "/maps/kept.bin";
    TScriptedChooser chooser(TBinMapChoice::NoChoice);

    const TMapLoadResult result =
        LoadMapFile(FState, WriteImage("ezk.bin", EZKImage(true, false, false)), chooser);

    EXPECT_TRUE(result.Ok);
    EXPECT_TRUE(FState.Ignition.ReferenceLoaded);
    EXPECT_EQ(FState.Ignition.Reference, before);
    EXPECT_EQ(FState.Ignition.Source, TEZKMapSource::NoCat98);
    EXPECT_EQ(FState.Ignition.ReferencePath, "/maps/kept.bin");  // nothing read from this image
}

TEST_F(LoadMapFileTest, SignaturelessImageLoadsAsEZK) {
    const TBinBytes image = EZKImage(false, false, true);
    TScriptedChooser chooser(TBinMapChoice::Cat);

    const TMapLoadResult result = LoadMapFile(FState, WriteImage("plain.bin", image), chooser);

    EXPECT_TRUE(result.Ok);
    EXPECT_EQ(chooser.Kinds, std::vector<TBinDialogKind>{TBinDialogKind::EZK});
    EXPECT_EQ(FState.Ignition.Reference, EZKMap(image, TEZKMapSource::Cat98));
}

TEST_F(LoadMapFileTest, FileThatIsNoImageGivesTheVortrixMessage) {
    FState.Setup().LHVersion = TLHVersion::LH22;
    TScriptedChooser chooser;

    const TMapLoadResult result = LoadMapFile(FState, WriteImage("short.bin", TBinBytes(1000, 0)), chooser);

    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.ErrorText, "File \"short.bin\" is not a valid Vortrix bin-file.");
    EXPECT_FALSE(result.Changes.Has(TChange::Overlay));
    EXPECT_TRUE(chooser.Kinds.empty());
    EXPECT_EQ(FState.Setup().LHVersion, TLHVersion::LH22);
}

TEST_F(LoadMapFileTest, TextMapsGoIntoTheirSetAndResetAdjustments) {
    const TMapGrid lh = PatternGrid(-20, 3);
    const TMapGrid ezk = PatternGrid(10.5, 1.5);
    FState.Fuel.Source = TLHMapSource::NoCat;
    FState.Fuel.Adjustments.Fill(1.2);
    FState.Ignition.Adjustments.Fill(-1);
    TScriptedChooser chooser;

    const TMapLoadResult lhResult = LoadMapFile(FState, WriteText("lh.TXT", MapFileText(lh, 0)), chooser);
    const TMapLoadResult ezkResult = LoadMapFile(FState, WriteText("ezk.txt", MapFileText(ezk, 1)), chooser);

    EXPECT_TRUE(lhResult.Ok);
    EXPECT_TRUE(ezkResult.Ok);
    EXPECT_EQ(FState.Fuel.Reference, lh);
    EXPECT_EQ(FState.Fuel.Source, TLHMapSource::Text);
    EXPECT_EQ(FState.Fuel.Adjustments, FilledGrid(1.0));
    EXPECT_EQ(FState.Fuel.Updated, lh);
    EXPECT_EQ(FState.Ignition.Reference, ezk);
    EXPECT_EQ(FState.Ignition.Updated, ezk);
    EXPECT_EQ(FState.Fuel.ReferencePath, FFolder.Path() / "lh.TXT");
    EXPECT_EQ(FState.Ignition.ReferencePath, FFolder.Path() / "ezk.txt");
    EXPECT_TRUE(chooser.Kinds.empty());
}

TEST_F(LoadMapFileTest, CellsHeldAtTheLimitsAreTold) {
    TMapGrid lh = PatternGrid(-20, 0.25);
    lh.At(3, 4) = 200;
    lh.At(9, 9) = 250;
    TScriptedChooser chooser;
    const TMapLoadResult result = LoadMapFile(FState, WriteText("lh.txt", MapFileText(lh, 0)), chooser);
    ASSERT_TRUE(result.Ok);
    const double max = FState.Axes.FuelLimits.Max;
    ASSERT_LT(max, 200);
    EXPECT_EQ(FState.Fuel.Updated.At(9, 9), max);
    EXPECT_EQ(result.Notice, "Updated fuel map: 2 cells held at the limits (2 at " +
                                 std::to_string(static_cast<int>(max)) + ")");

    const TMapLoadResult within =
        LoadMapFile(FState, WriteText("lh2.txt", MapFileText(PatternGrid(-20, 0.25), 0)), chooser);
    EXPECT_EQ(within.Notice, "");
}

TEST_F(LoadMapFileTest, OtherExtensionDoesNothing) {
    TScriptedChooser chooser;
    const TMapLoadResult result =
        LoadMapFile(FState, WriteText("map.csv", MapFileText(PatternGrid(0, 1), 0)), chooser);
    EXPECT_FALSE(result.Ok);
    EXPECT_TRUE(result.ErrorText.empty());
    EXPECT_FALSE(FState.Fuel.ReferenceLoaded);
}

// Snapshot of what a cancelled dialog must leave alone.
struct TMapsSnapshot {
    explicit TMapsSnapshot(const TKelvaneState& s)
        : FuelReference(s.Fuel.Reference),
          FuelAdjustments(s.Fuel.Adjustments),
          FuelUpdated(s.Fuel.Updated),
          FuelLoaded(s.Fuel.ReferenceLoaded),
          IgnitionReference(s.Ignition.Reference),
          IgnitionAdjustments(s.Ignition.Adjustments),
          IgnitionUpdated(s.Ignition.Updated),
          IgnitionLoaded(s.Ignition.ReferenceLoaded),
          IgnitionSource(s.Ignition.Source) {}
    void ExpectSame(const TKelvaneState& s) const {
        EXPECT_EQ(s.Fuel.Reference, FuelReference);
        EXPECT_EQ(s.Fuel.Adjustments, FuelAdjustments);
        EXPECT_EQ(s.Fuel.Updated, FuelUpdated);
        EXPECT_EQ(s.Fuel.ReferenceLoaded, FuelLoaded);
        EXPECT_EQ(s.Ignition.Reference, IgnitionReference);
        EXPECT_EQ(s.Ignition.Adjustments, IgnitionAdjustments);
        EXPECT_EQ(s.Ignition.Updated, IgnitionUpdated);
        EXPECT_EQ(s.Ignition.ReferenceLoaded, IgnitionLoaded);
        EXPECT_EQ(s.Ignition.Source, IgnitionSource);
    }
    TMapGrid FuelReference, FuelAdjustments, FuelUpdated;
    bool FuelLoaded;
    TMapGrid IgnitionReference, IgnitionAdjustments, IgnitionUpdated;
    bool IgnitionLoaded;
    TEZKMapSource IgnitionSource;
};

// Maps already loaded and adjusted: the fuel set from a "Cat" map, the
// ignition set from a text map.
void PrepareAdjustedMaps(TKelvaneState& state, TLHMapSource fuelSource) {
    state.Fuel.Source = fuelSource;
    state.RecomputeAxes();
    state.Fuel.Reference =
        fuelSource == TLHMapSource::PrimaryLoad ? PatternGrid(20000, 100) : PatternGrid(-30, 4);
    state.Fuel.ReferenceLoaded = true;
    state.Fuel.Adjustments.Fill(1.05);
    state.Fuel.RecomputeUpdated(state.Axes.FuelLimits);
    state.Ignition.Reference = PatternGrid(15, 1);
    state.Ignition.ReferenceLoaded = true;
    state.Ignition.Adjustments.Fill(-1.5);
    state.Ignition.RecomputeUpdated();
}

TEST_F(LoadMapFileTest, CancelledDialogsChangeNoMap) {
    PrepareAdjustedMaps(FState, TLHMapSource::Cat);
    const TMapsSnapshot before(FState);
    TScriptedChooser chooser(TBinMapChoice::Cancel);

    const TMapLoadResult lh = LoadMapFile(FState, WriteImage("lh.bin", LHDeviceImage(0xFF)), chooser);
    const TMapLoadResult ezk =
        LoadMapFile(FState, WriteImage("ezk.bin", EZKImage(true, false, false)), chooser);

    EXPECT_EQ(chooser.Kinds.size(), 2u);
    EXPECT_FALSE(lh.Ok);
    EXPECT_FALSE(ezk.Ok);
    EXPECT_TRUE(lh.ErrorText.empty());
    EXPECT_FALSE(lh.Changes.Has(TChange::Overlay));
    before.ExpectSame(FState);
    // Nothing at all changes, not even the source, and the images stay none.
    EXPECT_EQ(FState.Fuel.Source, TLHMapSource::Cat);
    EXPECT_EQ(FState.LHImage.Get(), nullptr);
    EXPECT_EQ(FState.EZKImage.Get(), nullptr);
}

// A bin file that turns out to be no image must not cost the user the image
// already open: its axes, the engine setup and the maps stay as they were.
TEST_F(LoadMapFileTest, RefusedFileLeavesImagesAxesAndMapsAsTheyWere) {
    TScriptedChooser chooser(TBinMapChoice::Cat);
    ASSERT_TRUE(LoadMapFile(FState, WriteImage("gt.bin", EZKImage(true, true, true)), chooser).Ok);
    ASSERT_EQ(FState.Setup().EZKVersion, TEZKVersion::GT);
    FState.Ignition.Adjustments.Fill(-1.0);
    FState.Ignition.RecomputeUpdated();
    const TMapsSnapshot before(FState);
    const TEZKbinFile* image = FState.EZKImage.Get();
    const TMapAxes axes = FState.Axes;
    const TEngineSetup setup = FState.Setup();

    for (const char* name : {"short.bin", "notes.txt"}) {
        const std::filesystem::path path = std::string(name) == "short.bin"
                                               ? WriteImage(name, TBinBytes(1000, 0))
                                               : WriteText(name, "no map here\r\n");
        const TMapLoadResult result = LoadMapFile(FState, path, chooser);
        EXPECT_FALSE(result.Ok) << name;
        EXPECT_FALSE(result.ErrorText.empty()) << name;
        EXPECT_TRUE(result.Changes.Empty()) << name;
        EXPECT_EQ(FState.EZKImage.Get(), image) << name;
        EXPECT_EQ(FState.Axes.EZKRpm, axes.EZKRpm) << name;
        EXPECT_EQ(FState.Axes.LHLoad, axes.LHLoad) << name;
        EXPECT_EQ(FState.Setup(), setup) << name;
        before.ExpectSame(FState);
    }
}

TEST_F(LoadMapFileTest, CancelKeepsPrimaryLoadSourceSoTheFuelMapsSurvive) {
    PrepareAdjustedMaps(FState, TLHMapSource::PrimaryLoad);
    const TMapsSnapshot before(FState);
    TScriptedChooser chooser(TBinMapChoice::Cancel);

    LoadMapFile(FState, WriteImage("ezk.bin", EZKImage(true, false, false)), chooser);

    before.ExpectSame(FState);
    EXPECT_EQ(FState.Fuel.Source, TLHMapSource::PrimaryLoad);
    EXPECT_EQ(FState.Axes.FuelLimits, FuelLimitsFor(TLHVersion::LH23, TLHMapSource::PrimaryLoad));
}

TEST_F(LoadMapFileTest, SettingsAfterAChosenFile) {
    const TMapFileSettings settings = MapFileSettingsFor("/data/maps/stock.bin", 2);
    EXPECT_EQ(settings.MapFolder, "/data/maps");
    EXPECT_EQ(settings.MapFile, "/data/maps/stock.bin");
    EXPECT_EQ(settings.MapFilter, 2);
}

}  // namespace
}  // namespace kelvane
