#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ground/WriteFailures.h"

namespace kelvane {
namespace {

using TMessages = std::vector<std::string>;

TEST(WriteFailuresTest, EachFileOnceByItsFirstFailureInOrder) {
    TWriteFailures failures;
    EXPECT_TRUE(failures.Ok());
    failures.Add("/data/Kelvane.ini", "/data/Kelvane.ini: Permission denied");
    failures.Add("/data/TargetAFRmap.txt", "/data/TargetAFRmap.txt: No space left on device");
    failures.Add("/data/Kelvane.ini", "/data/Kelvane.ini: later reason");
    TWriteFailures more;
    more.Add("/data/TargetAFRmap.txt", "/data/TargetAFRmap.txt: again");
    more.Add("/project/Kelvane.ini", "");  // a writer that gave no reason
    failures.Add(more);

    EXPECT_FALSE(failures.Ok());
    EXPECT_EQ(failures.Messages(), (TMessages{"/data/Kelvane.ini: Permission denied",
                                              "/data/TargetAFRmap.txt: No space left on device",
                                              "/project/Kelvane.ini: not written"}));
    EXPECT_EQ(failures.Text(),
              "These files could not be written:\n/data/Kelvane.ini: Permission denied\n"
              "/data/TargetAFRmap.txt: No space left on device\n/project/Kelvane.ini: not written");
}

TEST(WriteFailuresTest, OneSettingsFileGivesItsLastFailure) {
    TIniFile2 ini("/no such folder/Kelvane.ini");
    ASSERT_FALSE(ini.WriteString("Settings", "Key", "value"));
    TWriteFailures failures;
    failures.Add(ini);
    EXPECT_EQ(failures.Messages(), TMessages{ini.LastError()});
    EXPECT_EQ(WriteFailureText(ini), "This file could not be written:\n" + ini.LastError());
}

}  // namespace
}  // namespace kelvane
