#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/ground/Platform.h"
#include "support/TempFolder.h"

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
    // A child that has ended and been reaped is gone.
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);
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
    EXPECT_TRUE(platform::IsRunningProgram(fs::read_symlink("/proc/self/exe")));
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
