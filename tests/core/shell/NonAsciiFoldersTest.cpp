#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/ground/IniFile2.h"
#include "core/ground/PathText.h"
#include "core/logdata/LogCaption.h"
#include "core/maps/MapText.h"
#include "core/projects/ProjectFolders.h"
#include "core/projects/ProjectOpening.h"
#include "core/shell/SessionApply.h"
#include "core/simulate/DemoProject.h"
#include "support/TempFolder.h"

// Folder and file names beyond ASCII: Windows keeps them in UTF-16, the core
// passes them on in UTF-8. From the project folder to the plot and back to the
// disk, no step may lose or garble one.
namespace kelvane {
namespace {

namespace fs = std::filesystem;

constexpr TEngineSetup MafSetup{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::S4};

TEST(NonAsciiFoldersTest, AProjectNamedBeyondAsciiOpensReadsAndSaves) {
    TTempFolder temp;
    const fs::path project = temp.Path() / fs::path(u8"Bilprosjekt ø é");
    std::string error;
    ASSERT_TRUE(WriteDemoProject(project, error)) << error;
    const std::vector<std::string> sessions = SessionNames(project);
    ASSERT_FALSE(sessions.empty());
    const fs::path session = SessionPath(project, sessions.back());
    fs::copy_file(session / "Run01.txt", session / fs::path(u8"Run ø.txt"));

    const std::optional<TPendingSelection> selection = FolderSelection(project, MafSetup);
    ASSERT_TRUE(selection.has_value());
    const fs::path common = temp.Path() / fs::path(u8"Fælles");
    fs::create_directories(common);
    TSettingsStore store(common);
    TKelvaneState state;
    TSessionApplyActions actions;
    actions.SaveBeforeClose = [] { return true; };
    const TSessionApplyResult result = ApplySessionSelection(state, store, *selection, actions);

    ASSERT_TRUE(result.Applied);
    ASSERT_EQ(result.Files.size(), 4u);
    for (const auto& [path, read] : result.Files) EXPECT_TRUE(read.Loaded) << path.string();
    EXPECT_EQ(state.Settings.ProjectName, "Bilprosjekt \xc3\xb8 \xc3\xa9");
    EXPECT_EQ(result.WatchFolder, session);
    EXPECT_NE(CaptionText(state.Logs.OpenFiles, state.Settings.SessionName).find("Run \xc3\xb8"),
              std::string::npos)
        << CaptionText(state.Logs.OpenFiles, state.Settings.SessionName);

    // A map and a settings file written into the folder read back from it.
    const fs::path map = session / fs::path(u8"Oppdatert kart ø.txt");
    TMapGrid grid{};
    ASSERT_TRUE(ReadLHMapText(session / "base fuel map.txt", grid));
    ASSERT_TRUE(WriteLHMapText(map, grid, 0, TOverwrite::Replace).Ok);
    TMapGrid back{};
    ASSERT_TRUE(ReadLHMapText(PathOfText(map.string()), back));
    EXPECT_EQ(back, grid);
    {
        TIniFile2 ini(project / "Kelvane.ini");
        ASSERT_TRUE(ini.WriteString("Test", "Folder", project.string()));
    }
    EXPECT_EQ(PathOfText(TIniFile2(project / "Kelvane.ini").ReadString("Test", "Folder", "")), project);
}

}  // namespace
}  // namespace kelvane
