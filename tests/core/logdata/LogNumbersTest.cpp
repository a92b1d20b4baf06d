#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <string>

#include "core/logdata/LogNumbers.h"

namespace kelvane {
namespace {

double Number(const std::string& text, char separator) {
    return ReadLogNumber(text.data(), text.data() + text.size(), separator);
}

// Reads text as one field of a line ending in TAB, the way the reader meets it.
double Field(const std::string& text, char separator, std::size_t* consumed = nullptr) {
    const std::string line = text + "\tnext";
    double value = -999;
    const char* stop = ReadLogNumberField(line.data(), line.data() + line.size(), separator, value);
    if (consumed) *consumed = static_cast<std::size_t>(stop - line.data());
    return value;
}

struct TNumberCase {
    const char* Text;
    char Separator;
    double Expected;
};

TEST(LogNumbersTest, FieldRuleAndConversion) {
    const TNumberCase cases[] = {
        {"14.70", '.', 14.7},
        {"  14.70", '.', 14.7},
        {"0", '.', 0},
        {"-3.5", '.', -3.5},
        {"+3.5", '.', 3.5},
        {".5", '.', 0.5},
        {"-.5", '.', -0.5},
        {"5.", '.', 5},
        {"007", '.', 7},
        {"", '.', 0},
        {"   ", '.', 0},
        {".", '.', 0},
        {"-", '.', 0},
        {"+", '.', 0},
        {"+-1", '.', 0},
        {"--1", '.', 0},
        {"1.2.3", '.', 0},
        {"1e5", '.', 0},
        {"-inf", '.', 0},
        {"nan", '.', 0},
        {"12 ", '.', 0},
        {"1,5", '.', 0},
        {"abc", '.', 0},
        {"-0", '.', 0},
        {"12,5", ',', 12.5},
        {"-12,5", ',', -12.5},
        {"+0,25", ',', 0.25},
        {"12.5", ',', 0},
        {",5", ',', 0},
        {".5", ',', 0},
        {"1,2,3", ',', 0},
        {"3", ',', 3},
        {"123456789012345.5", '.', 123456789012345.5},  // 16 digits: the long way
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.Text + "\" with '" + c.Separator + "'");
        EXPECT_EQ(Number(c.Text, c.Separator), c.Expected);
        std::size_t consumed = 0;
        EXPECT_EQ(Field(c.Text, c.Separator, &consumed), c.Expected);
        EXPECT_EQ(consumed, std::strlen(c.Text)) << "the field ends at its TAB";
    }
}

TEST(LogNumbersTest, ShortDecimalsMatchFromCharsExactly) {
    // The quick path must give the very double from_chars gives, including awkward fractions.
    const char* texts[] = {"0.1",
                           "0.3",
                           "14.70",
                           "2.675",
                           "1.005",
                           "9999.99",
                           "0.000001",
                           "123456.789012",
                           "999999999999999",
                           "0.123456789012345",
                           "3.14159265358",
                           "100000000.001",
                           "17.4999999999",
                           "0.30000000000000",
                           "-0.1",
                           "-14.70",
                           "-2.675"};
    for (const char* text : texts) {
        double expected = 0;
        std::from_chars(text, text + std::strlen(text), expected);
        EXPECT_EQ(Field(text, '.'), expected) << text;
    }
}

TEST(LogNumbersTest, IntegerFieldsAcceptOnlySignAndDigits) {
    const std::pair<const char*, int> cases[] = {{"3", 3},   {"  2", 2}, {"+2", 2},  {"-1", -1},
                                                 {"2.0", 0}, {"", 0},    {"x", 0},   {"+-2", 0},
                                                 {"-", 0},   {"2 ", 0},  {"1e2", 0}, {"99999999999", 0}};
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ReadLogInteger(text, text + std::strlen(text)), expected) << text;
        const std::string line = std::string(text) + "\r\n";
        std::int32_t value = -7;
        const char* stop = ReadLogIntegerField(line.data(), line.data() + line.size(), value);
        EXPECT_EQ(value, expected) << text;
        EXPECT_EQ(*stop, '\r') << text;
    }
}

TEST(LogNumbersTest, FieldAtTheVeryEndOfTheBytes) {
    // A last line without a line end: the reader must stop at the end of the bytes.
    const std::string bytes = "12.5";
    double value = 0;
    EXPECT_EQ(ReadLogNumberField(bytes.data(), bytes.data() + 2, '.', value), bytes.data() + 2);
    EXPECT_EQ(value, 12);
    std::int32_t integer = 0;
    EXPECT_EQ(ReadLogIntegerField(bytes.data(), bytes.data() + 1, integer), bytes.data() + 1);
    EXPECT_EQ(integer, 1);
}

struct TValidCase {
    const char* Text;
    char Separator;
    bool Number;
};

TEST(LogNumbersTest, IsLogNumberTellsZeroFromNoNumber) {
    const TValidCase cases[] = {
        {"0", '.', true},    {"-0", '.', true},   {" 0.0", '.', true},  {"12,5", ',', true},
        {"", '.', false},    {"  ", '.', false},  {"-", '.', false},    {"1e5", '.', false},
        {"0,5", '.', false}, {"0.5", ',', false}, {"idle", '.', false}, {"12 ", '.', false},
    };
    for (const TValidCase& c : cases) {
        const std::string text = c.Text;
        EXPECT_EQ(IsLogNumber(text.data(), text.data() + text.size(), c.Separator), c.Number)
            << '"' << c.Text << "\" " << c.Separator;
    }
}

}  // namespace
}  // namespace kelvane
