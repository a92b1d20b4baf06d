#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
// windows.h names its own ReplaceFile (a macro); ours is the one tested here.
#undef ReplaceFile
#endif

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/ground/Platform.h"
#include "support/TempFolder.h"
#include "support/TestProcess.h"

// What every platform's implementation of the system services must do; a
// port runs these against its own file.
namespace kelvane {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(PlatformTest, ProcessesAreToldRunningOrGone) {
    EXPECT_TRUE(platform::ProcessIsRunning(platform::CurrentProcessId()));
    EXPECT_FALSE(platform::ProcessIsRunning(0));
    EXPECT_FALSE(platform::ProcessIsRunning(-1));
    EXPECT_TRUE(platform::ProcessIsRunning(test::OtherRunningProcessId()));
    // A child that has ended and been reaped is gone.
    const int child = test::EndedProcessId();
    ASSERT_GT(child, 0);
    EXPECT_FALSE(platform::ProcessIsRunning(child));
}

TEST(PlatformTest, NewFileIsWrittenOnlyWhereNothingIs) {
    TTempFolder folder;
    const fs::path file = folder.Path() / "new.txt";
    EXPECT_EQ(platform::WriteNewFileDurably(file, "first", folder.Path() / "none"),
              platform::TNewFileResult::Written);
    EXPECT_EQ(platform::WriteNewFileDurably(file, "second", folder.Path() / "none"),
              platform::TNewFileResult::AlreadyExists);
    EXPECT_EQ(Contents(file), "first");
    EXPECT_EQ(platform::WriteNewFileDurably(folder.Path() / "missing" / "x.txt", "x", {}),
              platform::TNewFileResult::Failed);
}

#ifdef _WIN32
// Windows keeps no permission bits: the new file takes the old one's hidden
// mark, but never its read-only one, which would stop it from replacing the old.
TEST(PlatformTest, NewFileTakesTheAttributesOfTheOneItReplacesButReadOnly) {
    TTempFolder folder;
    const fs::path old = folder.Path() / "old.txt";
    std::ofstream(old) << "old";
    ASSERT_TRUE(::SetFileAttributesW(old.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
    const fs::path made = folder.Path() / "made.txt";
    ASSERT_EQ(platform::WriteNewFileDurably(made, "new", old), platform::TNewFileResult::Written);
    const DWORD attributes = ::GetFileAttributesW(made.c_str());
    EXPECT_NE(attributes & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(attributes & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_TRUE(platform::ReplaceFile(made, folder.Path() / "other.txt"));
    ::SetFileAttributesW(old.c_str(), FILE_ATTRIBUTE_NORMAL);
}
#else
TEST(PlatformTest, NewFileTakesThePermissionsOfTheOneItReplaces) {
    TTempFolder folder;
    const fs::path old = folder.Path() / "old.txt";
    std::ofstream(old) << "old";
    fs::permissions(old, fs::perms::owner_read | fs::perms::owner_write);
    const fs::path made = folder.Path() / "made.txt";
    ASSERT_EQ(platform::WriteNewFileDurably(made, "new", old), platform::TNewFileResult::Written);
    EXPECT_EQ(fs::status(made).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}
#endif

TEST(PlatformTest, RenamesReplaceOrRefuseAsAsked) {
    TTempFolder folder;
    const fs::path a = folder.Path() / "a";
    const fs::path b = folder.Path() / "b";
    std::ofstream(a) << "A";
    std::ofstream(b) << "B";
    EXPECT_FALSE(platform::RenameNoReplace(a, b));
    EXPECT_EQ(Contents(b), "B");
    EXPECT_TRUE(platform::ReplaceFile(a, b));
    EXPECT_EQ(Contents(b), "A");
    EXPECT_FALSE(fs::exists(a));
    EXPECT_TRUE(platform::RenameNoReplace(b, a));
    EXPECT_EQ(Contents(a), "A");
}

TEST(PlatformTest, ReadOnlyFilesAreToldAndMadeWritable) {
    TTempFolder folder;
    const fs::path file = folder.Path() / "ro.txt";
    std::ofstream(file) << "x";
    EXPECT_FALSE(platform::IsReadOnly(file));
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_TRUE(platform::IsReadOnly(file));
    EXPECT_TRUE(platform::MakeWritable(file));
    EXPECT_FALSE(platform::IsReadOnly(file));
    EXPECT_FALSE(platform::IsReadOnly(folder.Path() / "missing"));
    EXPECT_FALSE(platform::MakeWritable(folder.Path() / "missing"));
}

TEST(PlatformTest, ModificationTimeFollowsTheFile) {
    TTempFolder folder;
    const fs::path file = folder.Path() / "t.txt";
    EXPECT_FALSE(platform::ModificationTime(file).has_value());
    std::ofstream(file) << "x";
    const auto moment = std::chrono::system_clock::time_point(std::chrono::seconds(1700000000));
    fs::last_write_time(file, fs::file_time_type::clock::from_sys(moment));
    ASSERT_TRUE(platform::ModificationTime(file).has_value());
    EXPECT_EQ(*platform::ModificationTime(file), moment);
}

TEST(PlatformTest, LocalTimeAndTheProgramFile) {
    const std::optional<std::tm> local = platform::LocalTime(86400 * 365);
    ASSERT_TRUE(local.has_value());
    EXPECT_TRUE(local->tm_year == 70 || local->tm_year == 71);
    EXPECT_TRUE(platform::IsRunningProgram(test::RunningProgramFile()));
    TTempFolder folder;
    EXPECT_FALSE(platform::IsRunningProgram(folder.Path()));
}

TEST(PlatformTest, FilesAreReadAtOffsetsAndOnlyWhenRegular) {
    TTempFolder folder;
    const fs::path path = folder.Path() / "log.txt";
    std::ofstream(path, std::ios::binary) << "0123456789";
    platform::TReadOnlyFile file;
    std::string error;
    ASSERT_TRUE(file.Open(path, error)) << error;
    EXPECT_EQ(file.Size(), 10u);
    char buffer[8] = {};
    EXPECT_EQ(file.ReadAt(3, buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "3456");
    EXPECT_EQ(file.ReadAt(8, buffer, 8), 2);  // short only at the end
    EXPECT_EQ(file.ReadAt(12, buffer, 8), 0);

    platform::TReadOnlyFile other;
    EXPECT_FALSE(other.Open(folder.Path(), error));
    EXPECT_EQ(error, "not a regular file");
    EXPECT_FALSE(other.Open(folder.Path() / "missing.txt", error));
    EXPECT_FALSE(error.empty());
}

#ifdef _WIN32
// A pipe, a console or a serial port is never opened for reading: opening a
// pipe alone connects to its server, and a port may act on the device.
TEST(PlatformTest, PipesAndDevicesAreNotOpened) {
    const std::wstring pipeName = L"\\\\.\\pipe\\kelvane-test-" + std::to_wstring(::GetCurrentProcessId());
    HANDLE server = ::CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED,
                                       PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    TTempFolder folder;
    const fs::path refused[] = {fs::path(pipeName), folder.Path() / "NUL", folder.Path() / "com1.txt",
                                folder.Path() / "Con", fs::path(L"\\\\.\\NUL")};
    for (const fs::path& path : refused) {
        platform::TReadOnlyFile file;
        std::string error;
        EXPECT_FALSE(file.Open(path, error)) << path.string();
        EXPECT_FALSE(error.empty()) << path.string();
    }
    // Had the pipe been opened, its server would find a client there.
    OVERLAPPED wait{};
    wait.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ::ConnectNamedPipe(server, &wait);
    EXPECT_NE(::GetLastError(), static_cast<DWORD>(ERROR_PIPE_CONNECTED));
    ::CancelIo(server);
    ::CloseHandle(wait.hEvent);
    ::CloseHandle(server);
}
#endif

TEST(PlatformTest, PagesAreGivenAndTakenBack) {
    constexpr std::size_t Bytes = 3 << 20;
    auto* const data = static_cast<unsigned char*>(platform::AllocatePages(Bytes));
    ASSERT_NE(data, nullptr);
    data[0] = 1;
    data[Bytes - 1] = 2;
    platform::PrepareLargeBlock(data, Bytes, true);  // a hint on memory in use keeps its contents
    EXPECT_EQ(data[0], 1);
    EXPECT_EQ(data[Bytes - 1], 2);
    platform::FreePages(data, Bytes);
    EXPECT_EQ(platform::AllocatePages(0), nullptr);
}

}  // namespace
}  // namespace kelvane
