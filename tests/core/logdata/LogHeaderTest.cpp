#include <gtest/gtest.h>

#include <string>

#include "core/logdata/LogHeader.h"

namespace kelvane {
namespace {

TEST(LogHeaderTest, TitlesAreTrimmedAndComparedWithoutCase) {
    const TLogHeader header = ParseLogHeader("  time [S]\x01\tRPM  \t\x05maf SIGNAL\tLoad [%]\tA/F ratio\r");
    EXPECT_EQ(header.ColumnOf[FieldTime], 0);
    EXPECT_EQ(header.ColumnOf[FieldRpm], 1);
    EXPECT_EQ(header.ColumnOf[FieldMafSignal], 2);
    EXPECT_EQ(header.ColumnOf[FieldLoad], 3);
    EXPECT_EQ(header.ColumnOf[FieldAfr], 4);
    EXPECT_TRUE(header.Accepted());
}

TEST(LogHeaderTest, DegreeSignAsSingleByteOrUtf8) {
    for (const std::string& degree : {std::string("\xB0"), std::string("\xC2\xB0")}) {
        const TLogHeader header =
            ParseLogHeader("Coolant temp [" + degree + "C]\tAir temp [" + degree + "C]\tIgn adv [" + degree +
                           "]\tCoolant temp [" + degree + "F]");
        EXPECT_EQ(header.ColumnOf[FieldCoolantC], 0);
        EXPECT_EQ(header.ColumnOf[FieldAirTemp], 1);
        EXPECT_EQ(header.ColumnOf[FieldIgnAdvance], 2);
        EXPECT_EQ(header.ColumnOf[FieldCoolantF], 3);
        // With both coolant columns the Celsius one feeds the field.
        EXPECT_EQ(header.FieldOfColumn[3], NoField);
    }
    EXPECT_FALSE(ParseLogHeader("Ign adv [\xC2]").Has(FieldIgnAdvance));
}

TEST(LogHeaderTest, FirstColumnOfATitleWins) {
    const TLogHeader header = ParseLogHeader("RPM\tTime [s]\trpm\tKR2\tKR2");
    EXPECT_EQ(header.ColumnOf[FieldRpm], 0);
    EXPECT_EQ(header.FieldOfColumn[2], NoField);
    EXPECT_EQ(header.ColumnOf[FieldKr1 + 1], 3);
    EXPECT_EQ(header.FieldOfColumn[4], NoField);
}

TEST(LogHeaderTest, AcceptanceNeedsTimeRpmAfrOrO2AndMafOrLoad) {
    const std::pair<const char*, bool> cases[] = {
        {"Time [s]\tRPM\tMAF signal\tA/F ratio", true},
        {"Time [s]\tRPM\tLoad [%]\tO2 sensor adj [%]", true},
        {"Time [s]\tRPM\tMAF signal\tLoad [%]", false},
        {"Time [s]\tRPM\tMAP [kPa]\tA/F ratio", false},
        {"RPM\tMAF signal\tA/F ratio", false},
        {"Time [s]\tMAF signal\tA/F ratio", false},
        {"", false},
    };
    for (const auto& [line, accepted] : cases) EXPECT_EQ(ParseLogHeader(line).Accepted(), accepted) << line;
}

TEST(LogHeaderTest, RejectionMessageListsMissingTitlesInOrder) {
    EXPECT_EQ(ParseLogHeader("Time [s]\tMAF signal\tLoad [%]").RejectionMessage(),
              "The following headers were not found in the log file: \"RPM\", \"A/F ratio\"\n"
              "Logs must include Time, RPM, MAF-signal and AFR.");
    EXPECT_EQ(ParseLogHeader("Battery [v]").RejectionMessage(),
              "The following headers were not found in the log file: \"Time [s]\", \"RPM\", \"MAF signal\", "
              "\"A/F ratio\"\nLogs must include Time, RPM, MAF-signal and AFR.");
}

TEST(LogHeaderTest, ColumnFlags) {
    TColumnSet columns{};
    ParseLogHeader(
        "Time [s]\tKR2\tKR1\tBattery [v]\tCoolant temp [\xB0"
        "F]\tLoad [%]\tKnock count")
        .MarkColumns(columns);
    TColumnSet expected{};
    expected[ColTime] = expected[ColKnockRetard] = expected[ColCoolantTemp] = expected[ColLoad] =
        expected[ColKnockCount] = 1;
    EXPECT_EQ(columns, expected);
}

}  // namespace
}  // namespace kelvane
