#include <gtest/gtest.h>

#include <filesystem>

#include "core/ground/AtomicFile.h"
#include "support/TempFolder.h"

namespace kelvane {
namespace {

TEST(AtomicFileTest, ReplacesContentsAndLeavesNoTemporary) {
    TTempFolder folder;
    const auto path = folder.Path() / "map.txt";
    ASSERT_TRUE(WriteFileAtomically(path, "old"));
    ASSERT_TRUE(WriteFileAtomically(path, "new\r\n"));

    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(bytes, "new\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST(AtomicFileTest, FailedRenameLeavesTargetAndNoTemporary) {
    TTempFolder folder;
    // A folder in the way makes the final rename fail, even for root.
    const auto path = folder.Path() / "map.txt";
    std::filesystem::create_directories(path / "inside");

    std::string error;
    EXPECT_FALSE(WriteFileAtomically(path, "new", &error));
    EXPECT_NE(error.find("map.txt"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(path / "inside"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST(AtomicFileTest, MissingFolderFailsWithMessage) {
    TTempFolder folder;
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(folder.Path() / "absent" / "map.txt", "x", &error));
    EXPECT_FALSE(error.empty());
    std::string bytes;
    EXPECT_FALSE(ReadWholeFile(folder.Path() / "absent" / "map.txt", bytes));
}

}  // namespace
}  // namespace kelvane
