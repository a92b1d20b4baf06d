#include <gtest/gtest.h>

#include "core/logdata/OpenFilesList.h"
#include "support/FileNameCaseRule.h"

namespace kelvane {
namespace {

TEST(OpenFilesListTest, EqualsSignInANameIsStoredAsDoubleColon) {
    const TFileNameCaseRule rule(true);
    TOpenFiles files;
    files.SetValue("/logs/a=b/Run=1.txt", "10;t");
    EXPECT_EQ(files.StoredName(0), "/logs/a::b/Run::1.txt");
    EXPECT_EQ(files.Name(0), "/logs/a=b/Run=1.txt");
    EXPECT_EQ(files.IndexOf("/LOGS/A=B/run=1.TXT"), 0);
    EXPECT_EQ(files.Value("/logs/a=b/Run=1.txt"), "10;t");
}

TEST(OpenFilesListTest, SetAppendsReplacesAndEmptyDeletes) {
    const TFileNameCaseRule rule(true);
    TOpenFiles files;
    files.SetValue("/x/1.txt", "1;a");
    files.SetValue("/x/2.txt", "2;b");
    files.SetValue("/X/1.TXT", "3;c");  // same file, other case: the value changes in place
    ASSERT_EQ(files.Count(), 2u);
    EXPECT_EQ(files.Name(0), "/x/1.txt");
    EXPECT_EQ(files.ValueAt(0), "3;c");
    EXPECT_EQ(files.IndexOf("/x/3.txt"), -1);
    EXPECT_EQ(files.Value("/x/3.txt"), "");
    files.SetValue("/x/3.txt", "");  // deleting an absent name changes nothing
    EXPECT_EQ(files.Count(), 2u);
    files.SetValue("/x/1.txt", "");
    ASSERT_EQ(files.Count(), 1u);
    EXPECT_EQ(files.Name(0), "/x/2.txt");
}

TEST(OpenFilesListTest, WhereCaseCountsNamesDifferingInCaseAreTwoFiles) {
    const TFileNameCaseRule rule(false);
    TOpenFiles files;
    files.SetValue("/x/A=1.txt", "1;a");
    files.SetValue("/x/a=1.txt", "2;b");
    ASSERT_EQ(files.Count(), 2u);
    EXPECT_EQ(files.IndexOf("/x/a=1.txt"), 1);
    EXPECT_EQ(files.IndexOf("/X/A=1.TXT"), -1);
    EXPECT_EQ(files.Value("/x/A=1.txt"), "1;a");
    files.SetValue("/x/A=1.txt", "");
    ASSERT_EQ(files.Count(), 1u);
    EXPECT_EQ(files.Name(0), "/x/a=1.txt");
}

}  // namespace
}  // namespace kelvane
