#include <gtest/gtest.h>

#include "core/logdata/RecentFiles.h"

namespace kelvane {
namespace {

TEST(RecentFilesTest, MostRecentFirstWithoutDuplicates) {
    TRecentFiles list;
    for (const char* path : {"/a", "/b", "/c", "/a"}) AddRecentFile(list, path);
    EXPECT_EQ(list, (TRecentFiles{"/a", "/c", "/b"}));
}

TEST(RecentFilesTest, SixShownNoneDropped) {
    TRecentFiles list;
    for (int i = 1; i <= 8; ++i) AddRecentFile(list, "/log" + std::to_string(i));
    EXPECT_EQ(list.size(), 8u);
    const auto captions = RecentFileCaptions(list);
    ASSERT_EQ(captions.size(), 6u);
    EXPECT_EQ(captions[0], "&1 /log8");
    EXPECT_EQ(captions[5], "&6 /log3");
    EXPECT_EQ(RecentFileCaptions({"/only"}), std::vector<std::string>{"&1 /only"});
}

}  // namespace
}  // namespace kelvane
