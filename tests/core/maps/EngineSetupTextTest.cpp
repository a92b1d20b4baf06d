#include <gtest/gtest.h>

#include "core/maps/EngineSetup.h"
#include "core/maps/EngineSetupText.h"

namespace kelvane {
namespace {

TEST(EngineSetupTextTest, TextsReadWithoutRegardToCaseAndUnknownGivesZero) {
    EXPECT_EQ(LHVersionFromText("lh2.2"), TLHVersion::LH22);
    EXPECT_EQ(LHVersionFromText("LH2.3"), TLHVersion::LH23);
    EXPECT_EQ(LHVersionFromText("LH 2.3"), TLHVersion::Unset);
    EXPECT_EQ(LHConfigFromText("hmaf"), TLHConfig::HexaMaf);
    EXPECT_EQ(LHConfigFromText("Tps"), TLHConfig::Alpha);
    EXPECT_EQ(LHConfigFromText("MAP"), TLHConfig::Map);
    EXPECT_EQ(LHConfigFromText(""), TLHConfig::Unset);
    EXPECT_EQ(EZKVersionFromText("gt"), TEZKVersion::GT);
    EXPECT_EQ(EZKVersionFromText("GTS"), TEZKVersion::Unset);
}

TEST(EngineSetupTextTest, EveryCodeRoundTripsAndUnsetHasNoText) {
    for (int code = 1; code <= 2; ++code) {
        const TLHVersion version = LHVersionFromCode(code);
        EXPECT_EQ(LHVersionFromText(LHVersionText(version)), version);
        const TEZKVersion ezk = EZKVersionFromCode(code);
        EXPECT_EQ(EZKVersionFromText(EZKVersionText(ezk)), ezk);
    }
    for (int code = 1; code <= 4; ++code) {
        const TLHConfig config = LHConfigFromCode(code);
        EXPECT_EQ(LHConfigFromText(LHConfigText(config)), config);
    }
    EXPECT_EQ(LHConfigText(TLHConfig::Unset), "");
    EXPECT_EQ(EZKVersionText(static_cast<TEZKVersion>(3)), "");
}

// The numbers are those the project files hold.
TEST(EngineSetupCodeTest, StoredNumbersReadAsTheirCodesAndBack) {
    EXPECT_EQ(LHVersionFromCode(1), TLHVersion::LH23);
    EXPECT_EQ(LHVersionFromCode(2), TLHVersion::LH22);
    EXPECT_EQ(LHConfigFromCode(1), TLHConfig::Maf);
    EXPECT_EQ(LHConfigFromCode(2), TLHConfig::HexaMaf);
    EXPECT_EQ(LHConfigFromCode(3), TLHConfig::Alpha);
    EXPECT_EQ(LHConfigFromCode(4), TLHConfig::Map);
    EXPECT_EQ(EZKVersionFromCode(1), TEZKVersion::S4);
    EXPECT_EQ(EZKVersionFromCode(2), TEZKVersion::GT);
    for (int code = 0; code <= 2; ++code) EXPECT_EQ(CodeOf(LHVersionFromCode(code)), code);
    for (int code = 0; code <= 4; ++code) EXPECT_EQ(CodeOf(LHConfigFromCode(code)), code);
    for (int code = 0; code <= 2; ++code) EXPECT_EQ(CodeOf(EZKVersionFromCode(code)), code);
}

// As an unknown settings text does.
TEST(EngineSetupCodeTest, NumbersOutOfRangeReadAsNotSet) {
    for (int code : {-1, 3, 255}) {
        EXPECT_EQ(LHVersionFromCode(code), TLHVersion::Unset) << code;
        EXPECT_EQ(EZKVersionFromCode(code), TEZKVersion::Unset) << code;
    }
    for (int code : {-1, 5, 255}) EXPECT_EQ(LHConfigFromCode(code), TLHConfig::Unset) << code;
}

TEST(EngineSetupTextTest, DisplayTextShowsWhatAnUnsetCodeWorksAs) {
    EXPECT_EQ(EngineSetupDisplayText({TLHVersion::LH23, TLHConfig::Alpha, TEZKVersion::GT}),
              "LH 2.3, Vortrix Alpha, EZK GT");
    EXPECT_EQ(EngineSetupDisplayText({TLHVersion::LH22, TLHConfig::HexaMaf, TEZKVersion::S4}),
              "LH 2.2, HexaMAF, EZK S4/GTS");
    EXPECT_EQ(EngineSetupDisplayText({}), "LH 2.3 (not set), Standard MAF (not set), EZK S4/GTS (not set)");
}

TEST(EngineSetupTextTest, ChangeTextNamesWhatWorksDifferently) {
    struct TCase {
        TEngineSetup Before, After;
        const char* Expected;
    };
    const TCase cases[] = {
        {{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::S4},
         {TLHVersion::LH23, TLHConfig::Alpha, TEZKVersion::S4},
         "LH configuration changed from Standard MAF to Vortrix Alpha"},
        {{TLHVersion::LH22, TLHConfig::Maf, TEZKVersion::S4},
         {TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::GT},
         "LH version changed from LH 2.2 to LH 2.3; EZK version changed from S4/GTS to GT"},
        // Not set works as MAF and S4: setting those changes nothing the user sees.
        {{}, {TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::S4}, ""},
        {{TLHVersion::LH23, TLHConfig::Map, TEZKVersion::GT},
         {},
         "LH configuration changed from Vortrix MAP to "
         "Standard MAF; EZK version changed from GT to S4/GTS"},
    };
    for (const TCase& c : cases) EXPECT_EQ(EngineSetupChangeText(c.Before, c.After), c.Expected);
}

}  // namespace
}  // namespace kelvane
