#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "core/ground/DebugLog.h"
#include "core/ground/FileDefs.h"
#include "support/FileSizeLimit.h"
#include "support/TempFolder.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> FileLines(const fs::path& path) {
    std::vector<std::string> lines;
    ReadFileLines(path, lines);
    return lines;
}

TEST(DebugLogTest, PrefixForms) {
    EXPECT_EQ(DebugLogPrefix(9, 5, 7, 42, TLogTimePrecision::Seconds), "09:05:07 ");
    EXPECT_EQ(DebugLogPrefix(23, 59, 59, 999, TLogTimePrecision::Milliseconds), "23:59:59.999 ");
    EXPECT_EQ(DebugLogPrefix(0, 0, 0, 7, TLogTimePrecision::Milliseconds), "00:00:00.007 ");
}

TEST(DebugLogTest, TheFileIsLookedForWhereTheSystemKeepsIt) {
#ifdef _WIN32
    EXPECT_EQ(DebugLogPath().wstring(), L"c:\\temp\\KVdebug.log");
#else
    EXPECT_EQ(DebugLogPath(), std::filesystem::temp_directory_path() / "KVdebug.log");
#endif
}

TEST(DebugLogTest, OffUnlessTheFileExists) {
    TTempFolder temp;
    TDebugLog log;
    EXPECT_FALSE(log.Open(temp.Path() / "KVdebug.log"));
    EXPECT_FALSE(log.Active());
    log.LogLine("nobody listens");
    EXPECT_EQ(log.Pending(), 0u);
    EXPECT_FALSE(log.FlushLog());
    EXPECT_FALSE(fs::exists(temp.Path() / "KVdebug.log"));
}

TEST(DebugLogTest, LinesAreAppendedWithTimeOfDay) {
    TTempFolder temp;
    const fs::path file = temp.Path() / "KVdebug.log";
    std::ofstream(file, std::ios::binary) << "earlier\r\n";
    TDebugLog log;
    ASSERT_TRUE(log.Open(file));
    EXPECT_EQ(log.Level(), TDebugLog::ActiveLevel);
    log.LogLine("Kelvane starting, /opt/kelvane");
    log.LogLine("too detailed", TDebugLog::ActiveLevel + 1);
    log.LogLine("level ten", TDebugLog::ActiveLevel);
    EXPECT_EQ(log.Pending(), 2u);
    ASSERT_TRUE(log.FlushLog());
    EXPECT_EQ(log.Pending(), 0u);

    const std::vector<std::string> lines = FileLines(file);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "earlier");
    const std::regex form(R"(\d\d:\d\d:\d\d\.\d{3} (.*))");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(lines[1], match, form)) << lines[1];
    EXPECT_EQ(match[1], "Kelvane starting, /opt/kelvane");
    ASSERT_TRUE(std::regex_match(lines[2], match, form)) << lines[2];
    EXPECT_EQ(match[1], "level ten");
}

TEST(DebugLogTest, LargeLogIsCutToItsLastThousandLines) {
    TTempFolder temp;
    const fs::path file = temp.Path() / "KVdebug.log";
    {
        std::ofstream out(file, std::ios::binary);
        std::size_t written = 0;
        for (int i = 0; i < 1500; ++i) {
            std::string line = "line " + std::to_string(i) + " ";
            line.resize(70, 'x');
            out << line << "\r\n";
            written += line.size() + 2;
        }
        ASSERT_GT(written, TDebugLog::TrimAboveBytes);
    }
    TDebugLog log;
    ASSERT_TRUE(log.Open(file));
    const std::vector<std::string> lines = FileLines(file);
    ASSERT_EQ(lines.size(), TDebugLog::KeepLines);
    EXPECT_EQ(lines.front().rfind("line 500 ", 0), 0u);
    EXPECT_EQ(lines.back().rfind("line 1499 ", 0), 0u);
}

TEST(DebugLogTest, LargeLogThatCannotBeCutLeavesLoggingOff) {
    KELVANE_SKIP_WITHOUT_FILE_SIZE_LIMIT();
    TTempFolder temp;
    const fs::path file = temp.Path() / "KVdebug.log";
    {
        std::ofstream out(file, std::ios::binary);
        for (int i = 0; i < 1500; ++i) out << std::string(70, 'x') << "\r\n";
    }
    TDebugLog log;
    {
        TFileSizeLimit limit(1000);
        EXPECT_FALSE(log.Open(file));
    }
    EXPECT_FALSE(log.Active());
    EXPECT_EQ(FileLines(file).size(), 1500u);
}

TEST(DebugLogTest, ThreadsQueueButOnlyTheOpeningThreadWrites) {
    TTempFolder temp;
    const fs::path file = temp.Path() / "KVdebug.log";
    std::ofstream(file, std::ios::binary).flush();
    TDebugLog log;
    ASSERT_TRUE(log.Open(file));

    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([&log, t] {
            for (int i = 0; i < 50; ++i) log.LogLine("worker " + std::to_string(t));
        });
    for (std::thread& worker : workers) worker.join();
    EXPECT_EQ(log.Pending(), 200u);

    bool flushedElsewhere = true;
    std::thread([&] { flushedElsewhere = log.FlushLog(); }).join();
    EXPECT_FALSE(flushedElsewhere);
    EXPECT_EQ(log.Pending(), 200u);
    EXPECT_TRUE(FileLines(file).empty());

    ASSERT_TRUE(log.FlushLog());
    EXPECT_EQ(FileLines(file).size(), 200u);
}

TEST(DebugLogTest, FailedAppendKeepsTheLinesQueued) {
    TTempFolder temp;
    const fs::path file = temp.Path() / "KVdebug.log";
    std::ofstream(file, std::ios::binary).flush();
    TDebugLog log;
    ASSERT_TRUE(log.Open(file));
    log.LogLine("kept");
    // The log file turned into a folder: nothing can be appended.
    fs::remove(file);
    fs::create_directory(file);
    EXPECT_FALSE(log.FlushLog());
    EXPECT_EQ(log.Pending(), 1u);
}

}  // namespace
}  // namespace kelvane
