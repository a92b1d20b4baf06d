#include <gtest/gtest.h>

#include <algorithm>

#include "core/ground/ProgramVersion.h"

namespace kelvane {
namespace {

TEST(ProgramVersionTest, FourFieldsBecomeThreeWithPaddedLastField) {
    const struct {
        const char* raw;
        const char* shown;
    } cases[] = {
        {"1.2.3.45", "1.2.045"}, {"1.0.0.1", "1.0.001"}, {"2.5.0.1234", "2.5.1234"},
        {"2.1.7", "2.1.007"},    {"1.2", "1.2"},         {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatVersionText(c.raw), c.shown) << c.raw;
}

TEST(ProgramVersionTest, ProgramVersionComesFromTheBuild) {
    EXPECT_EQ(ProgramVersionText(), FormatVersionText(RawProgramVersion()));
    const std::string raw = RawProgramVersion();
    EXPECT_EQ(std::count(raw.begin(), raw.end(), '.'), 3);
}

}  // namespace
}  // namespace kelvane
