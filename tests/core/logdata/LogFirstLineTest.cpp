#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <string>

#include "core/logdata/LogFileReader.h"
#include "core/logdata/LogFirstLine.h"
#include "core/logdata/LogHeader.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

const std::string Header = "Time [s]\tRPM\tMAF signal\tA/F ratio";

struct LogFirstLineTest : ::testing::Test {
    TTempFolder folder;
    fs::path Write(const std::string& name, const std::string& bytes) {
        WriteText(folder.Path() / name, bytes);
        return folder.Path() / name;
    }
};

// What a look at a log's first line gives: the header as the reader takes it.
TEST_F(LogFirstLineTest, TheHeaderWithoutMarkOrLineEnd) {
    const std::string longest(MaxLogHeaderLength, 'x');
    struct TCase {
        const char* Name;
        std::string Bytes;
        std::string Line;
    };
    const TCase cases[] = {
        {"crlf", Header + "\r\n0\t900\t120\t14.7\r\n", Header},
        {"lf", Header + "\n0\t900\t120\t14.7\n", Header},
        {"cr", Header + "\r0\t900\t120\t14.7\r", Header},
        {"byte-order mark", "\xEF\xBB\xBF" + Header + "\r\n0\t900\t120\t14.7\r\n", Header},
        {"header alone", Header, Header},
        {"empty", "", ""},
        {"longest header", longest + "\r\n1\r\n", longest},
        {"longest header, mark", "\xEF\xBB\xBF" + longest, longest},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::string line = "stale", error = "stale";
        EXPECT_TRUE(ReadLogFirstLine(Write("Run.txt", c.Bytes), line, error)) << error;
        EXPECT_TRUE(line == c.Line);
        EXPECT_EQ(error, "");
    }
    std::string line, error;
    ASSERT_TRUE(ReadLogFirstLine(Write("bom.txt", "\xEF\xBB\xBF" + Header + "\r\n"), line, error));
    EXPECT_TRUE(ParseLogHeader(line).Accepted());  // a recent file with a mark opens
}

// A pipe or a device is refused without waiting on it (a wait would hang the test),
// and a first line longer than any header without reading the rest of the file.
TEST_F(LogFirstLineTest, WhatIsNoLogIsRefusedAtOnce) {
#ifdef _WIN32
    GTEST_SKIP() << "named pipes and /dev/zero are POSIX; the Windows refusals of pipes and devices are "
                    "tested with the platform";
#else
    const fs::path pipe = folder.Path() / "pipe.txt";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::create_directory(folder.Path() / "folder.txt");
    const fs::path nul = folder.Path() / "nul.txt";
    WriteText(nul, "");
    fs::resize_file(nul, std::uintmax_t{16} << 30);  // sparse: 16 GB of NUL bytes
    struct TCase {
        fs::path Path;
        std::string Error;
    };
    const TCase cases[] = {
        {pipe, "not a regular file"},
        {"/dev/zero", "not a regular file"},
        {folder.Path() / "folder.txt", "not a regular file"},
        {folder.Path() / "absent.txt", "No such file or directory"},
        {nul, LongFirstLineReason()},
        {Write("long.txt", std::string(MaxLogHeaderLength + 1, 'x') + "\r\n"), LongFirstLineReason()},
        {Write("longbom.txt", "\xEF\xBB\xBF" + std::string(MaxLogHeaderLength + 1, 'x')),
         LongFirstLineReason()},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Path.string());
        std::string line = "stale", error;
        EXPECT_FALSE(ReadLogFirstLine(c.Path, line, error));
        EXPECT_EQ(error, c.Error);
        EXPECT_EQ(line, "");
    }
#endif
}

// The reader stops at a first line longer than any header, with a message, however
// large the file: a logger file of NUL bytes is not read whole.
TEST_F(LogFirstLineTest, TheReaderRefusesAHeaderLongerThanAnyAtOnce) {
    const fs::path nul = folder.Path() / "Run1.txt";
    WriteText(nul, "");
    fs::resize_file(nul, std::uintmax_t{64} << 30);  // sparse: 64 GB of NUL bytes
    const fs::path late =
        Write("Run2.txt", std::string(MaxLogHeaderLength + 1, 'x') + "\r\n" + "1\t900\t120\t14\r\n");
    for (const fs::path& path : {nul, late})
        for (const bool progress : {false, true}) {
            SCOPED_TRACE(path.filename().string() + (progress ? " with progress" : ""));
            TLogState state;
            TLoadLogOptions options;
            if (progress) options.Progress = [](std::uint64_t, std::uint64_t) { return true; };
            const TLoadLogResult result = LoadLogFile(state, path, options);
            EXPECT_TRUE(result.Unreadable);
            EXPECT_FALSE(result.OutOfMemory);
            EXPECT_EQ(NotLoadedMessage(path, result),
                      "Cannot read " + path.filename().string() + ": " + LongFirstLineReason());
            EXPECT_TRUE(state.Data.Empty());
        }
    // The longest header still reads.
    TLogState state;
    const fs::path longest = Write("Run3.txt", Header + std::string(MaxLogHeaderLength - Header.size(), ' ') +
                                                   "\r\n0\t900\t120\t14.7\r\n");
    EXPECT_TRUE(LoadLogFile(state, longest, {}).Loaded);
    EXPECT_EQ(state.Data.Count(), 1u);
}

}  // namespace
}  // namespace kelvane
