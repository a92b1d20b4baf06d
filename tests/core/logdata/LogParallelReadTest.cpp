#include <gtest/gtest.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "core/ground/WorkerPool.h"
#include "core/logdata/LogFileReader.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

class TRandom {
  public:
    explicit TRandom(std::uint64_t seed) : FState(seed) {}
    std::uint64_t Next() {
        FState ^= FState << 13;
        FState ^= FState >> 7;
        FState ^= FState << 17;
        return FState;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }

  private:
    std::uint64_t FState;
};

// A log as damaged and mixed as real files get: every line end, blank and
// whitespace lines, lines cut short or run long, stray bytes, comma decimals.
std::string HostileLog(std::uint64_t seed, int lines, bool comma) {
    TRandom random(seed);
    std::string out = random.Below(4) == 0 ? "\xEF\xBB\xBF" : "";
    out += "Time [s]\tRPM\tMAF signal\tA/F ratio\tO2 adjust [%]\tKR1\r\n";
    if (random.Below(2) == 0) out += "\r\n \t\r\n";
    const char separator = comma ? ',' : '.';
    const char* const ends[] = {"\r\n", "\n", "\r", "\n\r", "\r\r\n"};
    for (int i = 0; i < lines; ++i) {
        std::string line;
        switch (random.Below(14)) {
            case 0:
                line = "";
                break;
            case 1:
                line = " \t ";
                break;
            case 2:
                line = std::to_string(i) + "\t0\t200";
                break;  // RPM out of range
            case 3:
                line = std::to_string(i) + "\t900";
                break;  // no load column
            case 4:
                line = std::string(200 + random.Below(2000), 'x');
                break;  // a long line of rubbish
            case 5:
                line =
                    "1\t2\x00"
                    "3\t4";
                line.push_back('\0');
                break;  // NUL bytes
            case 6:
                line = "\t\t\t\t\t\t\t\t";
                break;
            default: {
                line = std::to_string(i / 10) + separator + std::to_string(i % 10) + "\t" +
                       std::to_string(700 + random.Below(6000)) + "\t" +
                       std::to_string(1 + random.Below(900)) + "\t14" + separator +
                       std::to_string(random.Below(10)) + "\t" + std::to_string(random.Below(20) - 10) +
                       "\t" + std::to_string(random.Below(13));
                if (random.Below(5) == 0) line += "\textra\tcolumns";
            }
        }
        out += line;
        if (i + 1 < lines || random.Below(2) == 0) out += ends[random.Below(5)];
    }
    return out;
}

struct TReadOutcome {
    TLogState State;
    TLoadLogResult Result;
};

// Everything the load gave, compared sample by sample and byte by byte.
void ExpectSameLoad(const TReadOutcome& a, const TReadOutcome& b) {
    EXPECT_EQ(a.Result.Loaded, b.Result.Loaded);
    EXPECT_EQ(a.Result.HeaderRejected, b.Result.HeaderRejected);
    EXPECT_EQ(a.Result.NoData, b.Result.NoData);
    EXPECT_EQ(a.Result.SamplesAdded, b.Result.SamplesAdded);
    EXPECT_EQ(a.Result.Lines.Read, b.Result.Lines.Read);
    EXPECT_EQ(a.Result.Lines.OutOfRange, b.Result.Lines.OutOfRange);
    EXPECT_EQ(a.Result.Lines.Unreadable, b.Result.Lines.Unreadable);
    const auto& x = a.State.Data.Entries;
    const auto& y = b.State.Data.Entries;
    ASSERT_EQ(x.size(), y.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        ASSERT_EQ(std::memcmp(&x[i], &y[i], sizeof(TLogDataEntry)), 0) << "sample " << i;
    ASSERT_EQ(a.State.Data.Files.size(), b.State.Data.Files.size());
    for (std::size_t f = 0; f < a.State.Data.Files.size(); ++f) {
        EXPECT_EQ(a.State.Data.Files[f].Header, b.State.Data.Files[f].Header);
        EXPECT_EQ(a.State.Data.Files[f].Size, b.State.Data.Files[f].Size);
    }
    EXPECT_EQ(a.State.ColumnPresent, b.State.ColumnPresent);
}

TReadOutcome LoadWith(const std::vector<std::filesystem::path>& paths, unsigned threads, std::uint64_t step,
                      bool withProgress) {
    TReadOutcome out;
    for (const auto& path : paths) {
        TLoadLogOptions options;
        options.AfrSmoothing = 4;
        options.Threads = threads;
        options.ProgressStep = step;
        if (withProgress) options.Progress = [](std::uint64_t, std::uint64_t) { return true; };
        out.Result = LoadLogFile(out.State, path, options);
    }
    return out;
}

// Reading in pieces on several threads gives exactly what one pass over the whole
// file gives, wherever the pieces start: inside CR LF pairs, blank lines, long lines.
TEST(LogParallelReadTest, PiecesOnThreadsGiveWhatOnePassGives) {
    TTempFolder folder;
    std::vector<std::filesystem::path> files;
    for (std::uint64_t seed = 1; seed <= 6; ++seed) {
        files.push_back(folder.Path() / ("hostile" + std::to_string(seed) + ".txt"));
        WriteText(files.back(),
                  HostileLog(seed * 7919, seed == 1 ? 120 : 300 * static_cast<int>(seed), seed % 3 == 0));
    }
    const std::filesystem::path fixtures = KELVANE_FIXTURES;
    for (const char* name : {"logs/DeviceLog.txt", "logs/CommaLog.txt", "cli/run1.txt", "cli/run2.txt",
                             "cli/knock.txt", "cli/lean.txt", "cli/no_maf.txt"})
        files.push_back(fixtures / name);

    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        const TReadOutcome serial = LoadWith({file}, 1, std::uint64_t{1} << 40, false);
        const std::uint64_t size = std::filesystem::file_size(file);
        for (const std::uint64_t step :
             {std::uint64_t{1}, std::uint64_t{7}, std::uint64_t{100}, std::uint64_t{4096}})
            for (const bool progress : {false, true}) {
                if (step == 1 && size > 20000) continue;  // a piece per byte: only where it stays quick
                SCOPED_TRACE("step " + std::to_string(step) + (progress ? " with progress" : ""));
                ExpectSameLoad(serial, LoadWith({file}, 4, step, progress));
            }
    }
    // Several files after each other, one read again: the time line and file numbers agree too.
    const std::vector<std::filesystem::path> sequence{files[0], files[1], files[7], files[0]};
    ExpectSameLoad(LoadWith(sequence, 1, std::uint64_t{1} << 40, false), LoadWith(sequence, 3, 64, true));
}

// A header, one sample and a million empty lines: room is taken for what the lines can
// hold, not a sample for every line break.
TEST(LogParallelReadTest, EmptyLinesTakeNoRoom) {
    TTempFolder folder;
    const auto path = folder.Path() / "breaks.txt";
    WriteText(path,
              "Time [s]\tRPM\tMAF signal\tA/F ratio\r\n0\t900\t120\t14.7\r\n" + std::string(1000000, '\n'));
    for (const bool progress : {false, true}) {
        TLogState state;
        TLoadLogOptions options;
        if (progress) options.Progress = [](std::uint64_t, std::uint64_t) { return true; };
        const TLoadLogResult result = LoadLogFile(state, path, options);
        ASSERT_TRUE(result.Loaded);
        EXPECT_EQ(result.SamplesAdded, 1u);
        EXPECT_EQ(result.Lines.Read, 1000001u);
        EXPECT_EQ(result.Lines.Unreadable, 1000000u);
        EXPECT_LE(state.Data.Entries.capacity(), 1024u);
    }
}

// Lines long enough to reach the RPM and MAF columns that still cannot hold a sample
// (no numbers there, or numbers the range test drops) take no room either.
TEST(LogParallelReadTest, ShortLinesThatCannotHoldASampleTakeNoRoom) {
    TTempFolder folder;
    const auto path = folder.Path() / "short.txt";
    for (const std::string line : {"abc", "\t\t\t", "0\t0\t1", "0\t900\tx", "0\t99999\t120"}) {
        SCOPED_TRACE(testing::PrintToString(line));
        std::string bytes = "Time [s]\tRPM\tMAF signal\tA/F ratio\r\n0\t900\t120\t14.7\r\n";
        for (int i = 0; i < 200000; ++i) bytes += line + "\n";
        WriteText(path, bytes);
        for (const bool progress : {false, true}) {
            TLogState state;
            TLoadLogOptions options;
            options.ProgressStep = 64u << 10;
            if (progress) options.Progress = [](std::uint64_t, std::uint64_t) { return true; };
            const TLoadLogResult result = LoadLogFile(state, path, options);
            ASSERT_TRUE(result.Loaded);
            EXPECT_EQ(result.SamplesAdded, 1u);
            EXPECT_LE(state.Data.Entries.capacity(), 1024u);
        }
    }
}

#ifndef _WIN32
int RunningThreads() {
    int count = 0;
    for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) ++count;
    return count;
}
#endif

// KELVANE_THREADS limits the reader as it limits the refresh: with 1 it starts no thread.
TEST(LogParallelReadTest, TheThreadLimitHoldsForTheReader) {
#ifdef _WIN32
    GTEST_SKIP() << "sets the limit with setenv, which is POSIX";
#else
    TTempFolder folder;
    const auto path = folder.Path() / "Run1.txt";
    std::string bytes = "Time [s]\tRPM\tMAF signal\tA/F ratio\r\n";
    for (int i = 0; i < 20000; ++i) bytes += std::to_string(i) + "\t900\t120\t14.7\r\n";
    WriteText(path, bytes);
    const char* const before = std::getenv("KELVANE_THREADS");
    const std::string kept = before ? before : "";
    ASSERT_EQ(::setenv("KELVANE_THREADS", "1", 1), 0);
    EXPECT_EQ(ThreadLimit(), 1);
    const int threads = RunningThreads();
    int most = 0;
    TLogState state;
    TLoadLogOptions options;
    options.ProgressStep = 4096;
    options.Progress = [&](std::uint64_t, std::uint64_t) {
        most = std::max(most, RunningThreads());
        return true;
    };
    EXPECT_TRUE(LoadLogFile(state, path, options).Loaded);
    EXPECT_EQ(state.Data.Count(), 20000u);
    EXPECT_EQ(most, threads);
    for (const char* text : {"3", "8"}) {
        ASSERT_EQ(::setenv("KELVANE_THREADS", text, 1), 0);
        EXPECT_EQ(ThreadLimit(), std::atoi(text));
    }
    for (const char* text : {"0", "9", "2x", ""}) {
        ASSERT_EQ(::setenv("KELVANE_THREADS", text, 1), 0);
        EXPECT_GE(ThreadLimit(), 1) << text;
        EXPECT_LE(ThreadLimit(), MaxThreads) << text;
    }
    if (before)
        ::setenv("KELVANE_THREADS", kept.c_str(), 1);
    else
        ::unsetenv("KELVANE_THREADS");
#endif
}

TEST(LogParallelReadTest, APipeIsRefusedAtOnce) {
#ifdef _WIN32
    // Named pipes live outside the folders on Windows; opening one as a client
    // would connect to its server.
    const std::wstring name = L"\\\\.\\pipe\\pipe.txt";
    HANDLE server =
        ::CreateNamedPipeW(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    const std::filesystem::path path(name);
#else
    TTempFolder folder;
    const auto path = folder.Path() / "pipe.txt";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
#endif
    TLogState state;
    // Opening a pipe for reading would wait for a writer: the test would hang here.
    const TLoadLogResult result = LoadLogFile(state, path, {});
    EXPECT_TRUE(result.Unreadable);
    EXPECT_EQ(NotLoadedMessage(path, result), "Cannot read pipe.txt: not a regular file");
    EXPECT_TRUE(state.Data.Empty());
#ifdef _WIN32
    ::CloseHandle(server);
#endif
}

class LogReadFailureTest : public testing::Test {
  protected:
    void SetUp() override {
        FFirst = FFolder.Path() / "first.txt";
        FPath = FFolder.Path() / "Run3.txt";
        WriteText(FFirst, Log(50, false));
        WriteText(FPath, Log(400, true));
        TLoadLogOptions options;
        ASSERT_TRUE(LoadLogFile(FState, FFirst, options).Loaded);
        FBefore = FState.Data.Entries;
    }
    // The second file brings a column the first lacks, so a leak of its columns shows.
    static std::string Log(int lines, bool withLoad) {
        std::string out =
            std::string("Time [s]\tRPM\tMAF signal\tA/F ratio") + (withLoad ? "\tLoad [%]" : "") + "\r\n";
        for (int i = 0; i < lines; ++i)
            out += std::to_string(i) + "\t" + std::to_string(900 + i) + "\t120\t14.7\t5\r\n";
        return out;
    }
    void ExpectListAsBefore() {
        ASSERT_EQ(FState.Data.Entries.size(), FBefore.size());
        for (std::size_t i = 0; i < FBefore.size(); ++i)
            EXPECT_EQ(std::memcmp(&FState.Data.Entries[i], &FBefore[i], sizeof(TLogDataEntry)), 0);
        EXPECT_EQ(FState.Data.Files.size(), 1u);
        EXPECT_LT(FState.OpenFiles.IndexOf(FPath.string()), 0);
        EXPECT_EQ(FState.ColumnPresent[ColLoad], 0);
    }

    TTempFolder FFolder;
    std::filesystem::path FFirst, FPath;
    TLogState FState;
    std::vector<TLogDataEntry> FBefore;
};

// A logger still writing, or a user replacing the file: a read that comes up short is
// reported, and no part of the file joins the list.
TEST_F(LogReadFailureTest, AFileThatShrinksWhileReadIsReportedAndNotAdded) {
    TLoadLogOptions options;
    options.Threads = 1;
    options.ProgressStep = 512;
    bool cut = false;
    options.Progress = [&](std::uint64_t, std::uint64_t) {
        if (!cut) std::filesystem::resize_file(FPath, 2000);
        cut = true;
        return true;
    };
    const TLoadLogResult result = LoadLogFile(FState, FPath, options);
    EXPECT_TRUE(cut);
    EXPECT_TRUE(result.Unreadable);
    EXPECT_FALSE(result.Loaded);
    EXPECT_EQ(NotLoadedMessage(FPath, result), "Cannot read Run3.txt: the file changed while it was read");
    ExpectListAsBefore();
}

TEST_F(LogReadFailureTest, RunningOutOfMemoryIsToldAndLeavesTheListAsItWas) {
    TLoadLogOptions options;
    options.ProgressStep = 512;
    int calls = 0;
    options.Progress = [&](std::uint64_t, std::uint64_t) -> bool {
        if (++calls == 3) throw std::bad_alloc();
        return true;
    };
    const TLoadLogResult result = LoadLogFile(FState, FPath, options);
    EXPECT_TRUE(result.Unreadable);
    EXPECT_TRUE(result.OutOfMemory);
    EXPECT_FALSE(result.Loaded);
    EXPECT_EQ(NotLoadedMessage(FPath, result), "Not enough memory to read Run3.txt");
    ExpectListAsBefore();
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define KELVANE_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KELVANE_SANITIZED 1
#endif

// The same with a real shortage: a child process whose address space is capped reads a
// log of 300,000 samples (77 MB of samples) with 32 MB to spare, and a log of a header,
// one sample and 20,000,000 line breaks, which once took 5 GB.
TEST(LogMemoryLimitTest, AShortageIsAMessageAndManyLineBreaksFitInLittleMemory) {
#if defined(KELVANE_SANITIZED)
    GTEST_SKIP() << "the sanitizers reserve address space of their own";
#elif defined(_WIN32)
    GTEST_SKIP() << "needs a child process with a limit on its address space (fork and setrlimit)";
#else
    TTempFolder folder;
    const auto big = folder.Path() / "big.txt";
    const auto breaks = folder.Path() / "breaks.txt";
    {
        std::string text = "Time [s]\tRPM\tMAF signal\tA/F ratio\r\n";
        for (int i = 0; i < 300000; ++i) text += "1.5\t2500\t300\t14.7\r\n";
        WriteText(big, text);
        WriteText(breaks, "Time [s]\tRPM\tMAF signal\tA/F ratio\r\n0\t900\t120\t14.7\r\n" +
                              std::string(20000000, '\n'));
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Address space in use now, from /proc, plus the room allowed.
        long pages = 0;
        if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
            std::fclose(statm);
        }
        const rlim_t inUse = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE));
        const rlimit limit{inUse + (32u << 20), inUse + (32u << 20)};
        if (pages == 0 || ::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(10);
        TLogState state;
        TLoadLogOptions options;
        options.Threads = 1;
        const TLoadLogResult tooBig = LoadLogFile(state, big, options);
        if (!tooBig.OutOfMemory || NotLoadedMessage(big, tooBig) != "Not enough memory to read big.txt")
            ::_exit(11);
        if (!state.Data.Empty()) ::_exit(12);
        const TLoadLogResult many = LoadLogFile(state, breaks, options);
        if (!many.Loaded || many.SamplesAdded != 1) ::_exit(13);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0)
        << "10: no limit set, 11: no message, 12: list changed, 13: breaks not read";
#endif
}

// Peak memory of this process, after clear_refs has set it to the memory now in use.
[[maybe_unused]] long PeakKilobytes() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return -1;
    char line[256];
    long peak = -1;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmHWM: %ld kB", &peak) == 1) break;
    std::fclose(status);
    return peak;
}

// A load with a progress dialog parses aside and joins at the end: the samples of a
// second file are held once in pieces, and each piece gives its memory back as it joins.
TEST(LogMemoryLimitTest, AStagedLoadHoldsItsSamplesOnce) {
#if defined(KELVANE_SANITIZED)
    GTEST_SKIP() << "the sanitizers keep freed memory aside";
#elif defined(_WIN32)
    GTEST_SKIP() << "needs a child process whose peak memory can be reset (fork and /proc)";
#else
    TTempFolder folder;
    const auto first = folder.Path() / "first.txt";
    const auto second = folder.Path() / "second.txt";
    constexpr int Samples = 200000;
    std::string text = "Time [s]\tRPM\tMAF signal\tA/F ratio\r\n";
    for (int i = 0; i < Samples; ++i) text += "1.5\t2500\t300\t14.7\r\n";
    WriteText(first, text);
    WriteText(second, text);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TLogState state;
        TLoadLogOptions options;
        options.Progress = [](std::uint64_t, std::uint64_t) { return true; };
        options.ProgressStep = 64 << 10;  // pieces of about 3,000 samples
        if (!LoadLogFile(state, first, options).Loaded) ::_exit(10);
        if (!LoadLogFile(state, second, options).Loaded)
            ::_exit(10);  // pieces freed once, to the heap's liking
        state = TLogState{};
        if (!LoadLogFile(state, first, options).Loaded) ::_exit(10);
        std::FILE* clear = std::fopen("/proc/self/clear_refs", "w");
        if (!clear || std::fputs("5", clear) < 0 || std::fclose(clear) != 0) ::_exit(11);
        const long before = PeakKilobytes();
        if (!LoadLogFile(state, second, options).Loaded || state.Data.Count() != 2 * Samples) ::_exit(10);
        const long grown = PeakKilobytes() - before;
        // The list moves once into room for both files, then the second file's pieces join it.
        const long oneFile = Samples * static_cast<long>(sizeof(TLogDataEntry)) / 1024;
        ::_exit(grown <= oneFile * 5 / 4 ? 0 : 12);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10: not loaded, 11: cannot reset the peak, 12: samples held twice";
#endif
}

}  // namespace
}  // namespace kelvane
