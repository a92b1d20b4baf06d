#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "core/ground/SettingsValues.h"
#include "core/logdata/KelvaneDefs.h"

namespace kelvane {
namespace {

struct TFormatCase {
    double Value;
    int Decimals;
    const char* Expected;
};

TEST(SettingsValuesTest, FormatNumberCases) {
    const TFormatCase cases[] = {
        {14.7, 1, "14.7"},
        {-0.0, 1, "0.0"},
        {-0.04, 1, "0.0"},  // rounds to zero: no sign
        {-0.0, 0, "0"},
        {-1.25, 1, "-1.2"},  // exact binary half goes to even
        {10000, 0, "10000"},
        {1234567.891, 2, "1234567.89"},  // no thousands separator
        {2.5, 0, "2"},
        {3.5, 0, "4"},
        {0.05, 2, "0.05"},
        {MissingValue, 1, ""},
        {MissingValue, 0, ""},
        {std::numeric_limits<double>::quiet_NaN(), 1, ""},
        {std::numeric_limits<double>::infinity(), 1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatNumber(c.Value, c.Decimals), c.Expected) << c.Value << " with " << c.Decimals;
}

struct TParseCase {
    const char* Text;
    TDecimalComma Comma;
    double Expected;
};

TEST(SettingsValuesTest, ParseNumberCases) {
    constexpr double Default = -99;
    constexpr TDecimalComma Refused = TDecimalComma::Refused;
    constexpr TDecimalComma Accepted = TDecimalComma::Accepted;
    const TParseCase cases[] = {
        {"17.5", Refused, 17.5},        {" 17.5 ", Refused, 17.5},    {"+3", Refused, 3},
        {"-0.25", Refused, -0.25},      {".5", Refused, 0.5},         {"1e3", Refused, 1000},
        {"17,5", Refused, Default},  // [Filter] keys: a comma is not a decimal point
        {"17,5", Accepted, 17.5},    // project keys: it is
        {"1,234.5", Accepted, Default}, {"1.2.3", Accepted, Default}, {"", Refused, Default},
        {"", Accepted, Default},        {"abc", Accepted, Default},   {"12abc", Refused, Default},
        {"inf", Refused, Default},      {"nan", Refused, Default},    {"0x10", Refused, Default},
        {"--1", Refused, Default},      {"+-1", Refused, Default},    {"1e999", Refused, Default},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseNumber(c.Text, c.Comma, Default), c.Expected)
            << "\"" << c.Text << "\" comma accepted " << (c.Comma == Accepted);
}

TEST(SettingsValuesTest, MissingValueWritesEmptyAndReadsAsDefault) {
    EXPECT_EQ(FormatNumber(MissingValue, 3), "");
    EXPECT_EQ(ParseNumber(FormatNumber(MissingValue, 3), TDecimalComma::Accepted, 14.7), 14.7);
}

TEST(SettingsValuesTest, ParseIntegerAndBoolCases) {
    struct TCase {
        const char* Text;
        int Integer;  // with default 7
        bool Bool;    // with default true
    };
    const TCase cases[] = {
        {"0", 0, false},
        {"1", 1, true},
        {"-3", -3, true},
        {" 42 ", 42, true},
        {"+5", 5, true},
        {"2.0", 7, true},
        {"", 7, true},
        {"yes", 7, true},
        {"0x1A", 7, true},
        {"99999999999", 7, true},
        {"12 3", 7, true},
        {"-", 7, true},
        {"2147483647", 2147483647, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseInteger(c.Text, 7), c.Integer) << c.Text;
        EXPECT_EQ(ParseBool(c.Text, true), c.Bool) << c.Text;
    }
    EXPECT_FALSE(ParseBool("", false));
    EXPECT_FALSE(ParseBool("true", false));  // booleans are integers in these files
    EXPECT_EQ(FormatBool(true), "1");
    EXPECT_EQ(FormatBool(false), "0");
}

TEST(SettingsValuesTest, WindowSizeForm) {
    EXPECT_EQ(FormatWindowSize({-8, 10, 1024, 768}), "-8,10,1024,768");
    // The most negative int, as a damaged settings file may hold, has no positive counterpart.
    EXPECT_EQ(FormatWindowSize({INT_MIN, 0, 1, 1}), "-2147483648,0,1,1");
    EXPECT_EQ(ParseWindowSize("-8,10,1024,768"), (TWindowSize{-8, 10, 1024, 768}));
    EXPECT_EQ(ParseWindowSize("1, 2 ,3,4"), (TWindowSize{1, 2, 3, 4}));
    for (const char* bad : {"", "1,2,3", "1,2,3,4,5", "1,2,,4", "a,2,3,4", "1.5,2,3,4", "1;2;3;4"})
        EXPECT_FALSE(ParseWindowSize(bad).has_value()) << bad;
}

TEST(SettingsValuesTest, DateTimeForm) {
    std::tm time{};
    time.tm_year = 2024 - 1900;
    time.tm_mon = 2;
    time.tm_mday = 5;
    time.tm_hour = 7;
    time.tm_min = 8;
    time.tm_sec = 9;
    EXPECT_EQ(FormatDateTime(time), "2024/03/05 07:08:09");
    const auto parsed = ParseDateTime("2024/03/05 07:08:09");
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(FormatDateTime(*parsed), "2024/03/05 07:08:09");
    for (const char* bad : {"2024-03-05 07:08:09", "2024/13/05 07:08:09", "2024/03/05 7:08:09", ""})
        EXPECT_FALSE(ParseDateTime(bad).has_value()) << bad;
    EXPECT_TRUE(ParseDateTime(CurrentDateTimeText()).has_value());
}

}  // namespace
}  // namespace kelvane
