#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/ground/FileDefs.h"
#include "core/ground/ProgramVersion.h"
#include "core/shell/StartupUpdates.h"
#include "core/shell/UpdateCheck.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

// The check against a scripted server: names to bodies; the fetch keeps to
// its limit as the real one does.
class UpdateCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(Program);
        fs::create_directories(Common);
    }

    TUpdateCounters Check(bool showDetails = true) {
        TUpdateCheckSetup setup;
        setup.ProgramRoot = Program;
        setup.CommonRoot = Common;
        setup.ProgramFileName = "kelvane";
        setup.ServerProblem = ServerProblem;
        setup.ShowDetails = showDetails;
        setup.Report = [this](const std::string& line) { Report.push_back(line); };
        setup.Log = [this](const std::string& line) { Log.push_back(line); };
        return RunUpdateCheck(setup, [this](const std::string& name, std::uint64_t limit) {
            Fetched.push_back(name);
            const auto found = Server.find(name);
            if (found == Server.end()) return TFetchResult{};
            if (found->second.size() > limit) return TFetchResult{TFetchStatus::TooLarge, {}};
            return TFetchResult{TFetchStatus::Ok, found->second};
        });
    }

    bool Reported(const std::string& line) const {
        return std::find(Report.begin(), Report.end(), line) != Report.end();
    }

    TTempFolder Temp;
    fs::path Program = Temp.Path() / "program";
    fs::path Common = Temp.Path() / "common";
    std::map<std::string, std::string> Server;
    std::string ServerProblem;
    std::vector<std::string> Report, Log, Fetched;
};

TEST_F(UpdateCheckTest, NoServerSaysSoAndFetchesNothing) {
    ServerProblem = "No update server is configured";
    EXPECT_EQ(Check(), TUpdateCounters{});
    EXPECT_EQ(Report, (std::vector<std::string>{"Checking for updates...", "No update server is configured",
                                                "Check complete, all files are current"}));
    EXPECT_TRUE(Fetched.empty());
}

TEST_F(UpdateCheckTest, CountsAndDetailsGoToReportAndLog) {
    WriteText(Program / "Notes.txt", "old");
    const std::string installed = FileVersionText(Program / "Notes.txt");
    Server["filelist.txt"] = "Notes.txt;" + installed + ";3\nNew.txt;2024/03/05 10:20;3\n";
    Server["New.txt"] = "new";
    EXPECT_EQ(Check(), (TUpdateCounters{2, 1, 1, 0, 0}));
    EXPECT_TRUE(Reported("File skipped, same version: Notes.txt " + installed));
    EXPECT_TRUE(Reported("File updated ok: New.txt"));
    EXPECT_TRUE(Reported(" File Errors:   0"));
    EXPECT_EQ(Report.back(), "Check complete, 1 file updated");
    EXPECT_EQ(FileVersionText(Program / "New.txt"), "2024/03/05 10:20");
    EXPECT_NE(std::find(Log.begin(), Log.end(),
                        "   "
                        " Files Checked: 2"),
              Log.end());
    EXPECT_NE(std::find(Log.begin(), Log.end(), "UpdateButton: Fetching file \"New.txt\""), Log.end());

    // Without details the skip is only logged.
    Report.clear();
    Check(false);
    EXPECT_FALSE(Reported("File skipped, same version: Notes.txt " + installed));
    EXPECT_FALSE(Reported("File check complete"));
}

TEST_F(UpdateCheckTest, AnExistingBackupIsKeptAndTheFileItGuardsStays) {
    WriteText(Program / "Data.txt", "installed");
    const std::string installed = FileVersionText(Program / "Data.txt");
    const fs::path backup = Program / UpdateBackupName("Data.txt", installed);
    WriteText(backup, "earlier backup");
    Server["filelist.txt"] = "Data.txt;2200/01/01 00:00;6\n";
    Server["Data.txt"] = "update";
    const TUpdateCounters counters = Check();
    EXPECT_EQ(counters.Errors, 1);
    EXPECT_EQ(counters.Pending, 1);
    EXPECT_TRUE(Reported("Backup copy failed, file in use: Data.txt"));
    EXPECT_EQ(ReadText(backup), "earlier backup");
    EXPECT_EQ(ReadText(Program / "Data.txt"), "installed");
    EXPECT_EQ(ReadText(Common / "Data.txt.updated"), "update");
}

TEST_F(UpdateCheckTest, TheProgramFileWaitsForTheNextStart) {
    // A program file carries its version as the running program does.
    const std::string program =
        "\x7F"
        "ELF" +
        std::string("Kelvane") + "FileVersion=9.1.0.7" + '\0';
    Server["filelist.txt"] = "kelvane;9.1.007;" + std::to_string(program.size()) + "\n";
    Server["kelvane"] = program;
    EXPECT_EQ(Check(), (TUpdateCounters{1, 0, 0, 0, 1}));
    EXPECT_TRUE(Reported("Program file update, will copy on restart: kelvane"));
    EXPECT_EQ(Report.back(), "Check complete, 1 update pending");
    EXPECT_EQ(ReadText(Common / "kelvane.updated"), program);
    EXPECT_EQ(UpdateFileVersion(Common / "kelvane.updated"), "9.1.007");
    EXPECT_FALSE(fs::exists(Program / "kelvane"));
}

TEST_F(UpdateCheckTest, ANewFileInANewFolderIsPutInPlace) {
    Server["filelist.txt"] = "docs\\guide\\Guide.txt;2024/03/05 10:20;5\n";
    Server["docs/guide/Guide.txt"] = "guide";
    EXPECT_EQ(Check().Updated, 1);
    EXPECT_EQ(ReadText(Program / "docs" / "guide" / "Guide.txt"), "guide");
    EXPECT_EQ(Fetched.back(), "docs/guide/Guide.txt");
}

TEST_F(UpdateCheckTest, AFolderIsNeverReplaced) {
    fs::create_directories(Program / "docs");
    WriteText(Program / "docs" / "Guide.txt", "guide");
    Server["filelist.txt"] = "docs;2200/01/01 00:00;4\n";
    Server["docs"] = "file";
    EXPECT_EQ(Check().Errors, 1);
    EXPECT_TRUE(Reported("File name refused, not a file: docs"));
    EXPECT_EQ(ReadText(Program / "docs" / "Guide.txt"), "guide");
    EXPECT_EQ(Fetched.size(), 1u);
}

TEST_F(UpdateCheckTest, ADownloadLargerThanListedIsStopped) {
    Server["filelist.txt"] = "Big.txt;2200/01/01 00:00;4\n";
    Server["Big.txt"] = "12345";
    EXPECT_EQ(Check().Errors, 1);
    EXPECT_TRUE(Reported("File fetch failed: Big.txt"));
    EXPECT_FALSE(fs::exists(Common / "Big.txt.updated"));
    EXPECT_FALSE(fs::exists(Program / "Big.txt"));
}

TEST(StaysInsideFolderTest, LinksAreFollowed) {
    TTempFolder temp;
    const fs::path root = temp.Path() / "root";
    fs::create_directories(root / "sub");
    fs::create_directories(temp.Path() / "outside");
    std::error_code linkError;
    fs::create_directory_symlink(temp.Path() / "outside", root / "out", linkError);
    // Windows gives symbolic links only to administrators and developer mode.
    if (linkError) GTEST_SKIP() << "no symbolic link could be made here: " << linkError.message();
    fs::create_directory_symlink(root / "sub", root / "in");
    fs::create_symlink(temp.Path() / "outside" / "missing", root / "dangling");
    EXPECT_TRUE(StaysInsideFolder(root, "sub/x.txt"));
    EXPECT_TRUE(StaysInsideFolder(root, "new/deeper/x.txt"));
    EXPECT_TRUE(StaysInsideFolder(root, "in/x.txt"));
    EXPECT_FALSE(StaysInsideFolder(root, "out/x.txt"));
    EXPECT_FALSE(StaysInsideFolder(root, "out"));
    EXPECT_FALSE(StaysInsideFolder(root, "dangling"));
    EXPECT_FALSE(StaysInsideFolder(root, "../root/x.txt"));
    EXPECT_FALSE(StaysInsideFolder(root, "/etc/passwd"));
}

}  // namespace
}  // namespace kelvane
