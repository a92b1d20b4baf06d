#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/logdata/LogCaption.h"

namespace kelvane {
namespace {

struct TCaptionCase {
    std::vector<const char*> Files;
    const char* Session;
    const char* Expected;
};

TEST(LogCaptionTest, GroupsConsecutiveFilesOfOneFolder) {
    const TCaptionCase cases[] = {
        {{}, "", "Kelvane "},
        {{}, "S1", "Kelvane    [S1 / ]"},
        {{"/p/s1/Run1.txt"}, "", "Kelvane    [s1: Run1]"},
        {{"/p/s1/Run1.txt", "/p/s1/Run2.log.txt", "/p/s2/Run3.txt"},
         "",
         "Kelvane    [s1: Run1, Run2.log; s2: Run3]"},
        // Not consecutive: the folder starts a new group each time.
        {{"/p/s1/A.txt", "/p/s2/B.txt", "/p/s1/C.txt"}, "", "Kelvane    [s1: A; s2: B; s1: C]"},
        // Same folder name, different folders.
        {{"/p/s1/A.txt", "/q/s1/B.txt"}, "", "Kelvane    [s1: A; s1: B]"},
        {{"/p/s1/A.txt", "/p/s1/B"}, "Session 2", "Kelvane    [Session 2 / s1: A, B]"},
        {{"/p/a=b/Run.txt"}, "", "Kelvane    [a=b: Run]"},
    };
    for (const auto& c : cases) {
        TOpenFiles files;
        for (const char* f : c.Files) files.SetValue(f, "1;t");
        EXPECT_EQ(CaptionText(files, c.Session), c.Expected);
    }
}

TEST(LogCaptionTest, StatusText) {
    EXPECT_EQ(StatusText(2, 5000), "2 files open, 5000 data points");
}

}  // namespace
}  // namespace kelvane
