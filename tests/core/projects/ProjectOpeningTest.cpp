#include <gtest/gtest.h>

#include "core/projects/ProjectOpening.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

const fs::path Demo = fs::path(KELVANE_FIXTURES).parent_path().parent_path() / "examples" / "demo-project";
constexpr TEngineSetup GtSetup{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::GT};

TEST(FolderSelection, AProjectOpensItsLastSessionWithEveryLogAndTheStartingMaps) {
    const auto selection = FolderSelection(Demo / "", GtSetup);  // a trailing separator as shells complete it
    ASSERT_TRUE(selection);
    EXPECT_EQ(selection->ProjectFolder, Demo.lexically_normal());
    EXPECT_EQ(selection->SessionName, "2026-05-09");
    const fs::path session = Demo / "2026-05-09";
    EXPECT_EQ(selection->Logs, TLogRequest::Files);
    EXPECT_EQ(selection->LogFiles,
              (std::vector<fs::path>{session / "Run01.txt", session / "Run02.txt", session / "Run03.txt"}));
    EXPECT_EQ(selection->LHStartingMap, session / "base fuel map.txt");
    EXPECT_EQ(selection->EZKStartingMap, session / "base EZK map.txt");
    EXPECT_EQ(selection->Setup, GtSetup);
}

TEST(FolderSelection, ASessionFolderOpensItselfAndOtherFoldersNothing) {
    const auto selection = FolderSelection(Demo / "2026-05-02", GtSetup);
    ASSERT_TRUE(selection);
    EXPECT_EQ(selection->ProjectFolder, Demo.lexically_normal());
    EXPECT_EQ(selection->SessionName, "2026-05-02");
    EXPECT_EQ(selection->LogFiles.size(), 3u);

    EXPECT_FALSE(FolderSelection(fs::path(KELVANE_FIXTURES) / "no such folder", GtSetup));
    EXPECT_FALSE(FolderSelection(Demo / "2026-05-02" / "Run01.txt", GtSetup)) << "a file is no folder";
}

}  // namespace
}  // namespace kelvane
