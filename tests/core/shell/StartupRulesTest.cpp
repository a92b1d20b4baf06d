#include <gtest/gtest.h>

#include <vector>

#include "support/TempFolder.h"
#include "core/shell/StartupLogOptions.h"
#include "core/shell/StartupWindowRules.h"

namespace kelvane {
namespace {

TEST(LogFileOptionsTest, PreselectionFromHeaderAndCurrentSetup) {
    const TEngineSetup unset;
    const TEngineSetup lh23Hexa{LHVersion23, LHConfigHexaMaf, EZKVersionGT};
    const TEngineSetup lh22Maf{LHVersion22, LHConfigMaf, EZKVersionUnset};
    const TEngineSetup lh22Alpha{LHVersion22, LHConfigAlpha, EZKVersionS4};
    struct TCase {
        const char* Header;
        TEngineSetup Current;
        TEngineSetup Expected;
    };
    const std::vector<TCase> cases = {
        {"Time [s]\tRPM\tMAP [kPa]\tAir temp [\xB0"
         "C]",
         unset,
         {LHVersion23, LHConfigMap, EZKVersionUnset}},
        {"Time [s]\tRPM\tMAP [kPa]", lh22Maf, {LHVersion23, LHConfigMap, EZKVersionUnset}},
        {"Time [s]\tAir temp [\xB0"
         "C]",
         lh23Hexa,
         {LHVersion23, LHConfigAlpha, EZKVersionGT}},
        {"Time [s]\tAir temp [\xC2\xB0"
         "C]",
         unset,
         {LHVersion23, LHConfigAlpha, EZKVersionUnset}},
        {"Time [s]\tBarometric pressure [kPa]", unset, {LHVersion23, LHConfigAlpha, EZKVersionUnset}},
        {"Time [s]\tRPM\tMAF signal", lh23Hexa, lh23Hexa},
        {"Time [s]\tRPM\tMAF signal", lh22Maf, lh22Maf},
        // LH 2.2 has no Alpha system: the LH part is not preselected.
        {"Time [s]\tRPM\tMAF signal", lh22Alpha, {LHVersionUnset, LHConfigUnset, EZKVersionS4}},
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
        {{LHVersion22, LHConfigMaf, EZKVersionUnset}, true},
        {{LHVersion22, LHConfigHexaMaf, EZKVersionUnset}, true},
        {{LHVersion22, LHConfigAlpha, EZKVersionGT}, false},
        {{LHVersion22, LHConfigUnset, EZKVersionGT}, false},
        {{LHVersion23, LHConfigMap, EZKVersionUnset}, false},
        {{LHVersion23, LHConfigMap, EZKVersionGT}, true},
        {{LHVersion23, LHConfigMaf, EZKVersionS4}, true},
        {{LHVersion23, LHConfigUnset, EZKVersionS4}, false},
        {{LHVersionUnset, LHConfigMaf, EZKVersionS4}, false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(LogFileOptionsComplete(c.Choice), c.Complete)
            << c.Choice.LHVersion << " " << c.Choice.LHConfig << " " << c.Choice.EZKVersion;
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

}  // namespace
}  // namespace kelvane
