#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "core/mapwindows/MapGridSelection.h"
#include "core/shell/StartupLogOptions.h"
#include "core/shell/StartupWindowRules.h"
#include "support/TempFolder.h"

namespace kelvane {
namespace {

TEST(LogFileOptionsTest, PreselectionFromHeaderAndCurrentSetup) {
    const TEngineSetup unset;
    const TEngineSetup lh23Hexa{TLHVersion::LH23, TLHConfig::HexaMaf, TEZKVersion::GT};
    const TEngineSetup lh22Maf{TLHVersion::LH22, TLHConfig::Maf, TEZKVersion::Unset};
    const TEngineSetup lh22Alpha{TLHVersion::LH22, TLHConfig::Alpha, TEZKVersion::S4};
    struct TCase {
        const char* Header;
        TEngineSetup Current;
        TEngineSetup Expected;
    };
    const std::vector<TCase> cases = {
        {"Time [s]\tRPM\tMAP [kPa]\tAir temp [\xB0"
         "C]",
         unset,
         {TLHVersion::LH23, TLHConfig::Map, TEZKVersion::Unset}},
        {"Time [s]\tRPM\tMAP [kPa]", lh22Maf, {TLHVersion::LH23, TLHConfig::Map, TEZKVersion::Unset}},
        {"Time [s]\tAir temp [\xB0"
         "C]",
         lh23Hexa,
         {TLHVersion::LH23, TLHConfig::Alpha, TEZKVersion::GT}},
        {"Time [s]\tAir temp [\xC2\xB0"
         "C]",
         unset,
         {TLHVersion::LH23, TLHConfig::Alpha, TEZKVersion::Unset}},
        {"Time [s]\tBarometric pressure [kPa]",
         unset,
         {TLHVersion::LH23, TLHConfig::Alpha, TEZKVersion::Unset}},
        {"Time [s]\tRPM\tMAF signal", lh23Hexa, lh23Hexa},
        {"Time [s]\tRPM\tMAF signal", lh22Maf, lh22Maf},
        // LH 2.2 has no Alpha system: the LH part is not preselected.
        {"Time [s]\tRPM\tMAF signal", lh22Alpha, {TLHVersion::Unset, TLHConfig::Unset, TEZKVersion::S4}},
        {"Time [s]\tRPM\tMAF signal", unset, unset},
        {"", unset, unset},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(LogFileOptionsPreselection(c.Header, c.Current), c.Expected) << c.Header;
}

TEST(LogFileOptionsTest, CompletenessRule) {
    struct TCase {
        TEngineSetup Choice;
        bool Complete;
    };
    const std::vector<TCase> cases = {
        {{TLHVersion::LH22, TLHConfig::Maf, TEZKVersion::Unset}, true},
        {{TLHVersion::LH22, TLHConfig::HexaMaf, TEZKVersion::Unset}, true},
        {{TLHVersion::LH22, TLHConfig::Alpha, TEZKVersion::GT}, false},
        {{TLHVersion::LH22, TLHConfig::Unset, TEZKVersion::GT}, false},
        {{TLHVersion::LH23, TLHConfig::Map, TEZKVersion::Unset}, false},
        {{TLHVersion::LH23, TLHConfig::Map, TEZKVersion::GT}, true},
        {{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::S4}, true},
        {{TLHVersion::LH23, TLHConfig::Unset, TEZKVersion::S4}, false},
        {{TLHVersion::Unset, TLHConfig::Maf, TEZKVersion::S4}, false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(LogFileOptionsComplete(c.Choice), c.Complete)
            << CodeOf(c.Choice.LHVersion) << " " << CodeOf(c.Choice.LHConfig) << " "
            << CodeOf(c.Choice.EZKVersion);
}

TEST(StartupWindowRulesTest, ClosesAfterThreeSeconds) {
    const auto shown = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
    EXPECT_FALSE(StartupWindowExpired(shown, shown));
    EXPECT_FALSE(StartupWindowExpired(shown, shown + std::chrono::milliseconds(2999)));
    EXPECT_TRUE(StartupWindowExpired(shown, shown + std::chrono::seconds(3)));
    EXPECT_EQ(StartupVersionText("1.0.001"), "Version 1.0.001");
}

TEST(StartupWindowRulesTest, TickedBoxTurnsTheWindowOff) {
    TTempFolder temp;
    TIniFile2 main(temp.Path() / "Kelvane.ini");
    EXPECT_TRUE(StartupWindowWanted(main));
    EXPECT_TRUE(StartupWindowClosing(main, false));
    EXPECT_FALSE(main.ValueExists("Settings", "Startup Window"));
    EXPECT_TRUE(StartupWindowClosing(main, true));
    EXPECT_FALSE(StartupWindowWanted(main));
}

TEST(StartupWindowRulesTest, CentredOnOwnerAndKeptOnScreen) {
    const TWindowSize screen{0, 0, 1920, 1080};
    EXPECT_EQ(CentreWithin({100, 100, 800, 600}, 400, 200, screen), (TWindowSize{300, 300, 400, 200}));
    EXPECT_EQ(CentreWithin({1700, 900, 400, 300}, 400, 200, screen), (TWindowSize{1520, 880, 400, 200}));
    EXPECT_EQ(CentreWithin({-300, -300, 200, 200}, 400, 200, screen), (TWindowSize{0, 0, 400, 200}));
    EXPECT_EQ(CentreWithin({0, 0, 100, 100}, 3000, 200, screen).Left, 0);
}

TEST(StartupWindowRulesTest, StoredMainWindowIsShrunkToTheScreenAndPulledOntoIt) {
    const TWindowSize screen{0, 0, 1920, 1080};
    struct TCase {
        TWindowSize Stored;
        TWindowSize Expected;
    };
    const TCase cases[] = {
        {{100, 50, 800, 600}, {100, 50, 800, 600}},      // already on screen
        {{-40, -10, 800, 600}, {0, 0, 800, 600}},        // off the left and top edges
        {{1500, 900, 800, 600}, {1120, 480, 800, 600}},  // off the right and bottom edges
        {{200, 300, 2500, 1400}, {0, 0, 1920, 1080}},    // larger than the screen
    };
    for (const TCase& c : cases) EXPECT_EQ(KeepOnScreen(c.Stored, screen), c.Expected);
    // A second screen area that does not start at 0.
    EXPECT_EQ(KeepOnScreen({0, 0, 500, 400}, {1920, 24, 1280, 1000}), (TWindowSize{1920, 24, 500, 400}));
}

TEST(StartupWindowRulesTest, MainWindowOpensWhereItsStoredTextSays) {
    const TWindowSize screen{0, 0, 1920, 1080};
    EXPECT_EQ(MainWindowPlacement("", 1000, 700, screen), (TWindowSize{460, 190, 1000, 700}));
    EXPECT_EQ(MainWindowPlacement("1500,900,800,600", 1000, 700, screen), (TWindowSize{1120, 480, 800, 600}));
    EXPECT_EQ(MainWindowPlacement("12,34,wide,600", 1000, 700, screen), (TWindowSize{0, 0, 1000, 700}));
}

// Stored values at the ends of the integer range are held to sane ones before any sum
// (UndefinedBehaviorSanitizer stops the test at an overflow).
TEST(StartupWindowRulesTest, ExtremeStoredPlacementsStayOnTheScreen) {
    const TWindowSize screen{0, 0, 1920, 1080};
    struct TCase {
        const char* Stored;
        TWindowSize Expected;
    };
    const TCase cases[] = {
        {"80,0,-2147483648,0", {80, 0, 0, 0}},
        {"-2147483648,-2147483648,2147483647,2147483647", {0, 0, 1920, 1080}},
        {"2147483647,2147483647,100,100", {1820, 980, 100, 100}},
        {"0,0,-5,-5", {0, 0, 0, 0}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Stored);
        EXPECT_EQ(MainWindowPlacement(c.Stored, 1000, 700, screen), c.Expected);
        const TWindowSize stored = *ParseWindowSize(c.Stored);
        const TWindowSize centred = CentreWithin(stored, stored.Width, stored.Height, screen);
        EXPECT_GE(centred.Left, -MaxWindowCoordinate);
        EXPECT_LE(centred.Left, MaxWindowCoordinate);
        const TWindowSize tool = ToolWindowPosition(c.Stored, 400, 300, screen);
        EXPECT_GE(tool.Left, 0);
        EXPECT_LE(tool.Left, 1520);
    }
    EXPECT_EQ(KeepOnScreen({0, 0, 100, 100}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}).Width, 100);
    EXPECT_EQ(CentreWithin(screen, INT_MIN, INT_MAX, screen).Width, 0);
}

}  // namespace
}  // namespace kelvane
