#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <string>

#include "core/projects/FolderWatch.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

// The platform's change watch (inotify, ReadDirectoryChangesW) keeps one
// contract: a change of a file in the watched folder ends a wait, also when it
// came before the wait; the wake event ends it too; nothing else does.
namespace kelvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Folder names beyond ASCII, as users name their cars' folders.
const fs::path SessionName = fs::path(u8"Økt ø é");

struct TChangeCase {
    const char* Name;
    std::function<void(const fs::path&)> Change;
};

class FolderWatchTest : public testing::TestWithParam<TChangeCase> {
  protected:
    void SetUp() override {
        FFolder = FTemp.Path() / SessionName;
        fs::create_directories(FFolder);
        WriteText(FFolder / "Run1.txt", "Time [s]\tRPM\n");
        FWaiter = MakeFolderWaiter();
        ASSERT_TRUE(FWaiter->Watch(FFolder)) << "no change watch on " << FFolder.string();
    }

    TTempFolder FTemp;
    fs::path FFolder;
    std::unique_ptr<TFolderWaiter> FWaiter;
};

TEST_P(FolderWatchTest, AChangeEndsTheNextWaitAndNothingAfterIt) {
    EXPECT_EQ(FWaiter->Wait(50ms), TWakeReason::TimedOut);
    GetParam().Change(FFolder);
    // The change came while nobody waited; the next wait still ends at once.
    EXPECT_EQ(FWaiter->Wait(5000ms), TWakeReason::Changed);
    // Whatever else the change caused is read as soon as it is there; then
    // the folder is quiet.
    while (FWaiter->Wait(300ms) == TWakeReason::Changed) {
    }
    EXPECT_EQ(FWaiter->Wait(50ms), TWakeReason::TimedOut);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, FolderWatchTest,
    testing::Values(TChangeCase{"Created", [](const fs::path& f) { WriteText(f / "Run2.txt", "x"); }},
                    TChangeCase{"Appended",
                                [](const fs::path& f) {
                                    std::ofstream(f / "Run1.txt", std::ios::binary | std::ios::app)
                                        << "1\t900\n";
                                }},
                    TChangeCase{"Renamed",
                                [](const fs::path& f) { fs::rename(f / "Run1.txt", f / "Run9.txt"); }},
                    TChangeCase{"Deleted", [](const fs::path& f) { fs::remove(f / "Run1.txt"); }},
                    TChangeCase{"NamedBeyondAscii",
                                [](const fs::path& f) { WriteText(f / fs::path(u8"Run ø.txt"), "x"); }}),
    [](const testing::TestParamInfo<TChangeCase>& info) { return std::string(info.param.Name); });

TEST(FolderWatchWakeTest, TheWakeEventStaysSetUntilReset) {
    TTempFolder temp;
    const std::unique_ptr<TFolderWaiter> waiter = MakeFolderWaiter();
    ASSERT_TRUE(waiter->Watch(temp.Path()));
    waiter->Wake();
    EXPECT_EQ(waiter->Wait(5000ms), TWakeReason::Woken);
    EXPECT_EQ(waiter->Wait(5000ms), TWakeReason::Woken);
    waiter->ResetWake();
    EXPECT_EQ(waiter->Wait(50ms), TWakeReason::TimedOut);
}

TEST(FolderWatchWakeTest, ADroppedOrMissingWatchSeesNoChange) {
    TTempFolder temp;
    const std::unique_ptr<TFolderWaiter> waiter = MakeFolderWaiter();
    EXPECT_FALSE(waiter->Watch(temp.Path() / "missing"));
    ASSERT_TRUE(waiter->Watch(temp.Path()));
    WriteText(temp.Path() / "Run1.txt", "x");
    // A change before the drop is forgotten with the watch.
    waiter->DropWatch();
    WriteText(temp.Path() / "Run2.txt", "x");
    EXPECT_EQ(waiter->Wait(200ms), TWakeReason::TimedOut);
    // Watching again starts from now.
    ASSERT_TRUE(waiter->Watch(temp.Path()));
    EXPECT_EQ(waiter->Wait(50ms), TWakeReason::TimedOut);
    WriteText(temp.Path() / "Run3.txt", "x");
    EXPECT_EQ(waiter->Wait(5000ms), TWakeReason::Changed);
}

}  // namespace
}  // namespace kelvane
