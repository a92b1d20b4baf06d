#include <gtest/gtest.h>

#include "core/maps/EngineSetup.h"
#include "core/maps/EngineSetupText.h"

namespace kelvane {
namespace {

TEST(EngineSetupTextTest, TextsReadWithoutRegardToCaseAndUnknownGivesZero) {
    EXPECT_EQ(LHVersionFromText("lh2.2"), LHVersion22);
    EXPECT_EQ(LHVersionFromText("LH2.3"), LHVersion23);
    EXPECT_EQ(LHVersionFromText("LH 2.3"), LHVersionUnset);
    EXPECT_EQ(LHConfigFromText("hmaf"), LHConfigHexaMaf);
    EXPECT_EQ(LHConfigFromText("Tps"), LHConfigAlpha);
    EXPECT_EQ(LHConfigFromText("MAP"), LHConfigMap);
    EXPECT_EQ(LHConfigFromText(""), LHConfigUnset);
    EXPECT_EQ(EZKVersionFromText("gt"), EZKVersionGT);
    EXPECT_EQ(EZKVersionFromText("GTS"), EZKVersionUnset);
}

TEST(EngineSetupTextTest, EveryCodeRoundTripsAndUnsetHasNoText) {
    for (int code = 1; code <= 2; ++code) EXPECT_EQ(LHVersionFromText(LHVersionText(code)), code);
    for (int code = 1; code <= 4; ++code) EXPECT_EQ(LHConfigFromText(LHConfigText(code)), code);
    for (int code = 1; code <= 2; ++code) EXPECT_EQ(EZKVersionFromText(EZKVersionText(code)), code);
    EXPECT_EQ(LHConfigText(0), "");
    EXPECT_EQ(EZKVersionText(3), "");
}

}  // namespace
}  // namespace kelvane
