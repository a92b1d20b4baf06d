#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <thread>

#include "core/ground/AtomicFile.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"
#include "support/TestProcess.h"

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
    // unless the system allows that many; Windows ids are multiples of 4), by
    // one still running, and files that only look alike.
    const std::string dead = "map.txt.tmp4194305-0123456789abcdef";
    const std::string alive =
        "map.txt.tmp" + std::to_string(test::OtherRunningProcessId()) + "-0123456789abcdef";
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
    std::error_code linkError;
    std::filesystem::create_symlink(target, link, linkError);
    // Windows gives symbolic links only to administrators and developer mode.
    if (linkError) GTEST_SKIP() << "no symbolic link could be made here: " << linkError.message();
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

#ifdef _WIN32
// Named pipes live outside the folders on Windows, and the device names are
// devices in every folder; neither is read as a file, nor is a folder.
TEST(AtomicFileTest, ReadingRefusesWhatIsNoRegularFile) {
    TTempFolder folder;
    const std::wstring pipeName = L"\\\\.\\pipe\\kelvane-atomic-" + std::to_wstring(::GetCurrentProcessId());
    HANDLE server =
        ::CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    std::string bytes = "kept";
    EXPECT_FALSE(ReadWholeFile(std::filesystem::path(pipeName), bytes));
    EXPECT_FALSE(ReadWholeFile(folder.Path() / "NUL", bytes));
    EXPECT_FALSE(ReadWholeFile(folder.Path() / "com1.txt", bytes));
    EXPECT_FALSE(ReadWholeFile(folder.Path(), bytes));
    ::CloseHandle(server);
}
#else
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
#endif

}  // namespace
}  // namespace kelvane
