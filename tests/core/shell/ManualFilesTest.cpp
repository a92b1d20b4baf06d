#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/shell/ManualFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

class ManualFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FPrefix = fs::temp_directory_path() /
                  ("kelvane-manual-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(FPrefix);
        fs::create_directories(FPrefix / "bin");
    }
    void TearDown() override { fs::remove_all(FPrefix); }

    void Touch(const fs::path& relative) {
        fs::create_directories((FPrefix / relative).parent_path());
        std::ofstream(FPrefix / relative) << "x";
    }
    // The program root as the program passes it: with a trailing separator.
    fs::path Root() const { return FPrefix / "bin" / ""; }

    fs::path FPrefix;
};

TEST_F(ManualFilesTest, NothingThereFindsNothing) {
    EXPECT_FALSE(FindManual(Root()).has_value());
}

TEST_F(ManualFilesTest, InstalledGuideIsFoundUnderShareDoc) {
    Touch("share/doc/kelvane/manual/index.html");
    ASSERT_TRUE(FindManual(Root()).has_value());
    EXPECT_EQ(*FindManual(Root()), FPrefix / "share/doc/kelvane/manual/index.html");
}

TEST_F(ManualFilesTest, APdfInTheProgramRootComesBeforeTheGuide) {
    Touch("share/doc/kelvane/manual/index.html");
    Touch("bin/manual/index.html");
    Touch("bin/Kelvane Manual.pdf");
    Touch("bin/KelvaneManual.pdf");
    EXPECT_EQ(*FindManual(Root()), FPrefix / "bin/KelvaneManual.pdf");
}

TEST_F(ManualFilesTest, GuideBesideTheProgramComesBeforeTheInstalledOne) {
    Touch("share/doc/kelvane/manual/index.html");
    Touch("bin/manual/index.html");
    EXPECT_EQ(*FindManual(Root()), FPrefix / "bin/manual/index.html");
}

TEST_F(ManualFilesTest, AFolderNamedLikeTheManualIsNotTheManual) {
    fs::create_directories(FPrefix / "bin/KVManual.pdf");
    EXPECT_FALSE(FindManual(Root()).has_value());
}

}  // namespace
}  // namespace kelvane
