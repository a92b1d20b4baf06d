#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "core/ground/AtomicFile.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

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

TEST(AtomicFileTest, TemporariesOfDeadSavesGoAtTheNextSave) {
    TTempFolder folder;
    const auto path = folder.Path() / "map.txt";
    // Left by a save whose process is gone (no process has id 2^22 + 1 here
    // unless the system allows that many), by one still running (this one's
    // parent), and files that only look alike.
    const std::string dead = "map.txt.tmp4194305-0123456789abcdef";
    const std::string alive = "map.txt.tmp" + std::to_string(::getppid()) + "-0123456789abcdef";
    const std::string others[] = {"map.txt.tmp4194305-short", "other.txt.tmp4194305-0123456789abcdef",
                                  "map.txt.bak"};
    for (const std::string& name : {dead, alive}) WriteText(folder.Path() / name, "partial");
    for (const std::string& name : others) WriteText(folder.Path() / name, "kept");

    ASSERT_TRUE(WriteFileAtomically(path, "new"));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / dead));
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / alive));
    for (const std::string& name : others) EXPECT_TRUE(std::filesystem::exists(folder.Path() / name)) << name;
}

TEST(AtomicFileTest, ALinkIsWrittenThrough) {
    TTempFolder folder;
    const auto target = folder.Path() / "real.txt";
    const auto link = folder.Path() / "link.txt";
    WriteText(target, "old");
    std::filesystem::create_symlink(target, link);
    ASSERT_TRUE(WriteFileAtomically(link, "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(target, bytes));
    EXPECT_EQ(bytes, "new");
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

// Opening a named pipe for reading waits for a writer for ever: such a file,
// like a folder, is refused before it is opened. The writer below finds a
// reader waiting only when the pipe was opened; it then ends the wait, so a
// lost refusal fails the test instead of hanging it.
TEST(AtomicFileTest, ReadingRefusesWhatIsNoRegularFile) {
    TTempFolder folder;
    const auto pipe = folder.Path() / "Run1.txt";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    bool readerWaited = false;
    std::thread writer([&pipe, &readerWaited] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const int fd = open(pipe.c_str(), O_WRONLY | O_NONBLOCK);  // fails at once without a reader
        readerWaited = fd >= 0;
        if (fd >= 0) close(fd);
    });
    std::string bytes = "kept";
    EXPECT_FALSE(ReadWholeFile(pipe, bytes));
    EXPECT_FALSE(ReadWholeFile(folder.Path(), bytes));
    writer.join();
    EXPECT_FALSE(readerWaited);
}

}  // namespace
}  // namespace kelvane
