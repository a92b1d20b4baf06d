#include <gtest/gtest.h>

#include "core/ground/FileNameCase.h"
#include "support/FileNameCaseRule.h"

namespace kelvane {
namespace {

TEST(FileNameCaseTest, PlatformRule) {
#if defined(_WIN32) || defined(__APPLE__)
    EXPECT_TRUE(FileNamesIgnoreCase());
#else
    EXPECT_FALSE(FileNamesIgnoreCase());
#endif
}

struct TNameCase {
    const char* A;
    const char* B;
    bool SameIgnoringCase;
    bool SameExactly;
};

TEST(FileNameCaseTest, SameFileNameFollowsTheRule) {
    const TNameCase cases[] = {
        {"/logs/A.txt", "/logs/A.txt", true, true},        {"/logs/A.txt", "/logs/a.txt", true, false},
        {"/Logs/Run1.TXT", "/logs/run1.txt", true, false}, {"/logs/a.txt", "/logs/a.txt ", false, false},
        {"/logs/a.txt", "/logs/b.txt", false, false},      {"", "", true, true},
    };
    for (const bool ignoreCase : {true, false}) {
        const TFileNameCaseRule rule(ignoreCase);
        EXPECT_EQ(FileNamesIgnoreCase(), ignoreCase);
        for (const TNameCase& c : cases)
            EXPECT_EQ(SameFileName(c.A, c.B), ignoreCase ? c.SameIgnoringCase : c.SameExactly)
                << c.A << " | " << c.B << " ignoring case: " << ignoreCase;
    }
}

}  // namespace
}  // namespace kelvane
