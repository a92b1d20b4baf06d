#include <gtest/gtest.h>

#include <string>

#include "core/maps/MapFields.h"

namespace kelvane {
namespace {

std::string Line(const std::string& first, int count = 16, const std::string& rest = "1") {
    std::string line = first;
    for (int i = 1; i < count; ++i) line += "\t" + rest;
    return line;
}

TEST(MapFieldsTest, NumberRule) {
    struct TCase {
        const char* Text;
        bool Number;
    };
    const TCase cases[] = {
        {"5", true},   {"-5", true},     {"+5", true},   {".5", true},     {"5.", true},  {"  12.5", true},
        {"-.5", true}, {"1.2.3", false}, {"1e3", false}, {"1,000", false}, {"-", false},  {".", false},
        {"+.", false}, {"", false},      {"a", false},   {"5 ", false},    {"--5", false}};
    for (const TCase& c : cases) EXPECT_EQ(IsMapNumber(c.Text), c.Number) << '"' << c.Text << '"';
}

TEST(MapFieldsTest, NumbersReadWithPointAndOptionalCommaFallback) {
    double value = 0;
    EXPECT_TRUE(ParseMapNumber("+12.5", TDecimalComma::Refused, value));
    EXPECT_EQ(value, 12.5);
    EXPECT_TRUE(ParseMapNumber("-.25", TDecimalComma::Refused, value));
    EXPECT_EQ(value, -0.25);
    EXPECT_TRUE(ParseMapNumber("7.", TDecimalComma::Refused, value));
    EXPECT_EQ(value, 7);
    EXPECT_FALSE(ParseMapNumber("12,5", TDecimalComma::Refused, value));
    EXPECT_TRUE(ParseMapNumber("12,5", TDecimalComma::Accepted, value));
    EXPECT_EQ(value, 12.5);
    EXPECT_FALSE(ParseMapNumber("1,2,5", TDecimalComma::Accepted, value));
    EXPECT_FALSE(ParseMapNumber("1,2.5", TDecimalComma::Accepted, value));
    EXPECT_EQ(MapNumberOr("x", TDecimalComma::Accepted, -1), -1);
}

TEST(MapFieldsTest, FieldsSkipBlanksConsumeSeparatorAndTrim) {
    const std::string line = "  a \x01\t\tb;c\r\n";
    std::size_t pos = 0;
    EXPECT_EQ(NextMapField(line, pos, "\t"), "a");
    EXPECT_EQ(NextMapField(line, pos, "\t"), "");
    EXPECT_EQ(NextMapField(line, pos, "\t;"), "b");
    EXPECT_EQ(NextMapField(line, pos, "\t;"), "c");
    EXPECT_EQ(pos, line.size());
    EXPECT_EQ(NextMapField(line, pos, "\t"), "");
}

TEST(MapFieldsTest, LineChecks) {
    struct TCase {
        std::string Line;
        bool LH;
        bool EZK;
    };
    const TCase cases[] = {
        {Line("1"), true, true},
        {Line("1") + "\r\n", true, true},
        {Line("1") + "\t", true, true},
        {Line("1", 17), false, false},
        {Line("1", 15), false, false},
        {Line("1") + " x", false, false},
        {Line("32728"), true, false},
        {Line("32729"), false, false},
        {Line("-512"), true, false},
        {Line("-513"), false, false},
        {Line("12,5"), false, true},
        {Line("90"), true, true},
        {Line("90.1"), true, false},
        {Line("-10"), true, true},
        {Line("-10.5"), true, false},
        {Line("abc"), false, false},
        {"", false, false},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(IsLHMapLine(c.Line), c.LH) << c.Line;
        EXPECT_EQ(IsEZKMapLine(c.Line), c.EZK) << c.Line;
    }
}

TEST(MapFieldsTest, LinesSplitAtAnyLineEnd) {
    const auto lines = SplitMapLines("a\r\nb\rc\nd\r\n\r\ne\r\n");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[3], "d");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "e");
    EXPECT_TRUE(SplitMapLines("").empty());
}

}  // namespace
}  // namespace kelvane
