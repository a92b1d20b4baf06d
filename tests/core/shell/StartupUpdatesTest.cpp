#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "core/ground/FileDefs.h"
#include "core/shell/StartupUpdates.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

TEST(UpdateBackupNameTest, VersionGoesBeforeTheExtension) {
    EXPECT_EQ(UpdateBackupName("KVManual.pdf", "2024/03/05 10:20"), "KVManual(ver 20240305 1020).pdf.sav");
    EXPECT_EQ(UpdateBackupName("Kelvane.exe", "1.0.001"), "Kelvane(ver 1.0.001).exe.sav");
    EXPECT_EQ(UpdateBackupName("README", ""), "README(ver ).sav");
}

class InstallUpdatesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(Common);
        fs::create_directories(Program);
    }
    TTempFolder Temp;
    fs::path Common = Temp.Path() / "common";
    fs::path Program = Temp.Path() / "program";
    std::vector<std::string> Log;
    TLogCallback Callback = [this](const std::string& line) { Log.push_back(line); };
};

TEST_F(InstallUpdatesTest, ReplacesInstalledFileAndKeepsBackup) {
    WriteText(Program / "KVManual.pdf", "old manual");
    WriteText(Program / "Notes.txt", "notes");
    WriteText(Common / "KVManual.pdf.updated", "new manual");
    WriteText(Common / "Notes.txt.updated", "new notes");
    WriteText(Common / "Kelvane.ini", "not an update");
    const std::string oldVersion = FileVersionText(Program / "KVManual.pdf");
    EXPECT_TRUE(HasPendingUpdates(Common));

    const TInstallResult result = InstallPendingUpdates(Common, Program, StartupCheckLogTag, Callback);
    EXPECT_EQ(result.Installed, 2);
    EXPECT_EQ(result.Failed, 0);
    EXPECT_EQ(ReadText(Program / "KVManual.pdf"), "new manual");
    EXPECT_EQ(ReadText(Program / "Notes.txt"), "new notes");
    EXPECT_EQ(ReadText(Program / UpdateBackupName("KVManual.pdf", oldVersion)), "old manual");
    EXPECT_FALSE(HasPendingUpdates(Common));
    EXPECT_TRUE(fs::exists(Common / "Kelvane.ini"));
    ASSERT_FALSE(Log.empty());
    for (const std::string& line : Log)
        EXPECT_EQ(line.rfind("WMCheckStartup: File Rename OK: ", 0), 0u) << line;
}

TEST_F(InstallUpdatesTest, NewFileWithoutInstalledCopyIsPutInPlace) {
    WriteText(Common / "Extra.dat.updated", "extra");
    const TInstallResult result = InstallPendingUpdates(Common, Program, StartupCheckLogTag, Callback);
    EXPECT_EQ(result.Installed, 1);
    EXPECT_EQ(ReadText(Program / "Extra.dat"), "extra");
    EXPECT_EQ(Log.size(), 1u);
}

TEST_F(InstallUpdatesTest, BlockedBackupLeavesBothFilesAlone) {
    WriteText(Program / "Data.txt", "installed");
    WriteText(Common / "Data.txt.updated", "update");
    // A backup of the same version is already there: it is never replaced.
    WriteText(Program / UpdateBackupName("Data.txt", FileVersionText(Program / "Data.txt")),
              "earlier backup");

    const TInstallResult result = InstallPendingUpdates(Common, Program, StartupCheckLogTag, Callback);
    EXPECT_EQ(result.Installed, 0);
    EXPECT_EQ(result.Failed, 1);
    EXPECT_EQ(ReadText(Program / "Data.txt"), "installed");
    EXPECT_EQ(ReadText(Common / "Data.txt.updated"), "update");
    EXPECT_TRUE(HasPendingUpdates(Common));
}

TEST_F(InstallUpdatesTest, AnUpdatedFileNeverReplacesOneInItsPlace) {
    WriteText(Program / "Data.txt", "installed");
    WriteText(Common / "Data.txt.updated", "update");
    EXPECT_FALSE(InstallUpdatedFile(Common / "Data.txt.updated", Program / "Data.txt", "", Callback));
    EXPECT_EQ(ReadText(Program / "Data.txt"), "installed");
    EXPECT_EQ(ReadText(Common / "Data.txt.updated"), "update");
    // The copy made beside the target is gone again.
    EXPECT_EQ(std::distance(fs::directory_iterator(Program), fs::directory_iterator()), 1);

    fs::remove(Program / "Data.txt");
    EXPECT_TRUE(InstallUpdatedFile(Common / "Data.txt.updated", Program / "Data.txt", "", Callback));
    EXPECT_EQ(ReadText(Program / "Data.txt"), "update");
    EXPECT_FALSE(fs::exists(Common / "Data.txt.updated"));
}

TEST_F(InstallUpdatesTest, UpdaterStartsAtExitOnlyWhenFilesWaitAndNoneArePending) {
    EXPECT_FALSE(ShouldStartUpdaterAtExit(Common, 0));
    WriteText(Common / "Kelvane.updated", "program");
    EXPECT_TRUE(ShouldStartUpdaterAtExit(Common, 0));
    EXPECT_FALSE(ShouldStartUpdaterAtExit(Common, 1));
    // ".updated" alone is no update of a named file.
    fs::remove(Common / "Kelvane.updated");
    WriteText(Common / ".updated", "");
    EXPECT_FALSE(ShouldStartUpdaterAtExit(Common, 0));
}

}  // namespace
}  // namespace kelvane
