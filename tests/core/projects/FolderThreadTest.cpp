#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/projects/FolderThreadUnit.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string Header = "Time [s]\tRPM\tMAF signal\tA/F ratio\n";

std::string LogLines(int first, int count) {
    std::string text;
    for (int i = first; i < first + count; ++i)
        text += std::to_string(i) + ".0\t" + std::to_string(1000 + i) + "\t200\t14.0\n";
    return text;
}

void Append(const fs::path& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::app);
    file << text;
}

// Records what the worker tells, so a test can wait for it.
class TListener {
  public:
    TFolderThread::TNotify Notify() {
        return [this](TFolderEvent event) {
            {
                std::lock_guard guard(FLock);
                FEvents.push_back(event);
            }
            FChanged.notify_all();
        };
    }
    // True once count events of the kind came, within the time.
    bool WaitFor(TFolderEvent kind, std::size_t count, std::chrono::milliseconds within = 5000ms) {
        std::unique_lock lock(FLock);
        return FChanged.wait_for(lock, within, [&] { return Count(kind) >= count; });
    }
    std::size_t Count(TFolderEvent kind) const {
        return static_cast<std::size_t>(std::count(FEvents.begin(), FEvents.end(), kind));
    }
    std::size_t CountNow(TFolderEvent kind) {
        std::lock_guard guard(FLock);
        return Count(kind);
    }

  private:
    std::mutex FLock;
    std::condition_variable FChanged;
    std::vector<TFolderEvent> FEvents;
};

// The worker with short waits: a real folder, the platform's watch unless
// a test polls.
struct TWorkerFixture {
    TTempFolder Folder;
    TListener Listener;
    TFolderThreadOptions Options;

    TWorkerFixture() {
        Options.Timeout = 2000ms;
        Options.SettleDelay = 150ms;
        Options.StopLimit = 2000ms;
    }
    fs::path Log(const std::string& name) const { return Folder.Path() / name; }
};

// Lets a worker that was just given a folder take its first look.
void LetFirstScanPass() {
    std::this_thread::sleep_for(100ms);
}

TEST(FolderThreadTest, LogsPresentAtTheStartAreNotedANewOneIsReportedOnceAndAGrownOneAgain) {
    TWorkerFixture f;
    for (int i = 1; i <= 10; ++i)
        WriteText(f.Log("Run" + std::to_string(i) + ".txt"), Header + LogLines(0, 3));
    TFolderThread worker(f.Listener.Notify(), f.Options);
    worker.SetFolder(f.Folder.Path());
    LetFirstScanPass();

    WriteText(f.Log("Run11.txt"), Header + LogLines(0, 3));
    ASSERT_TRUE(f.Listener.WaitFor(TFolderEvent::NewFiles, 1));
    EXPECT_EQ(worker.TakeQueued(), std::vector<fs::path>{f.Log("Run11.txt")});

    Append(f.Log("Run11.txt"), LogLines(3, 2));
    ASSERT_TRUE(f.Listener.WaitFor(TFolderEvent::NewFiles, 2));
    EXPECT_EQ(worker.TakeQueued(), std::vector<fs::path>{f.Log("Run11.txt")});
    EXPECT_EQ(f.Listener.CountNow(TFolderEvent::NewFiles), 2u);
}

TEST(FolderThreadTest, EmptyOtherAndHeaderlessFilesAreNotQueued) {
    TWorkerFixture f;
    TFolderThread worker(f.Listener.Notify(), f.Options);
    worker.SetFolder(f.Folder.Path());
    LetFirstScanPass();

    WriteText(f.Log("Run0.txt"), "");
    WriteText(f.Log("Notes.txt"), Header + LogLines(0, 3));
    WriteText(f.Log("TestRun.txt"), Header + LogLines(0, 3));
    WriteText(f.Log("Run9.txt"), "not a header\n1\t2\n");
    // A log written last: once it is reported, the others were looked at too.
    WriteText(f.Log("Run1.txt"), Header + LogLines(0, 3));
    ASSERT_TRUE(f.Listener.WaitFor(TFolderEvent::NewFiles, 1));
    EXPECT_EQ(worker.TakeQueued(), std::vector<fs::path>{f.Log("Run1.txt")});

    // The empty log grows into a log.
    WriteText(f.Log("Run0.txt"), Header + LogLines(0, 2));
    ASSERT_TRUE(f.Listener.WaitFor(TFolderEvent::NewFiles, 2));
    EXPECT_EQ(worker.TakeQueued(), std::vector<fs::path>{f.Log("Run0.txt")});
}

TEST(FolderThreadTest, AFileWrittenInChunksIsReportedOnceComplete) {
    TWorkerFixture f;
    f.Options.SettleDelay = 300ms;
    TFolderThread worker(f.Listener.Notify(), f.Options);
    worker.SetFolder(f.Folder.Path());
    LetFirstScanPass();

    const fs::path log = f.Log("Run1.txt");
    WriteText(log, Header);
    for (int chunk = 0; chunk < 5; ++chunk) {
        std::this_thread::sleep_for(60ms);
        Append(log, LogLines(chunk * 10, 10));
    }
    const std::string complete = ReadText(log);
    ASSERT_TRUE(f.Listener.WaitFor(TFolderEvent::NewFiles, 1));
    EXPECT_EQ(worker.TakeQueued(), std::vector<fs::path>{log});
    EXPECT_EQ(ReadText(log), complete);
    // Nothing more comes for it while it stays as it is.
    EXPECT_FALSE(f.Listener.WaitFor(TFolderEvent::NewFiles, 2, 600ms));
}

TEST(FolderThreadTest, WithoutAChangeWatchTheTimeoutFindsNewLogs) {
    TWorkerFixture f;
    f.Options.Timeout = 100ms;
    f.Options.SettleDelay = 0ms;
    f.Options.MakeWaiter = MakePollingWaiter;
    TFolderThread worker(f.Listener.Notify(), f.Options);
    worker.SetFolder(f.Folder.Path());
    LetFirstScanPass();
    WriteText(f.Log("Run1.txt"), Header + LogLines(0, 3));
    ASSERT_TRUE(f.Listener.WaitFor(TFolderEvent::NewFiles, 1));
    EXPECT_EQ(worker.TakeQueued(), std::vector<fs::path>{f.Log("Run1.txt")});
}

TEST(FolderThreadTest, AnotherFolderStartsAfreshAndTheSameFolderKeepsWhatWaits) {
    TWorkerFixture f;
    const fs::path first = f.Folder.Path() / "S1";
    const fs::path second = f.Folder.Path() / "S2";
    fs::create_directories(first);
    fs::create_directories(second);
    for (int i = 1; i <= 3; ++i)
        WriteText(second / ("Run" + std::to_string(i) + ".txt"), Header + LogLines(0, 2));

    TFolderThread worker(f.Listener.Notify(), f.Options);
    worker.SetFolder(first);
    LetFirstScanPass();
    WriteText(first / "Run1.txt", Header + LogLines(0, 2));
    ASSERT_TRUE(f.Listener.WaitFor(TFolderEvent::NewFiles, 1));
    // Given again (every hand-over does), the folder keeps its queue.
    worker.SetFolder(first / "");
    EXPECT_EQ(worker.Queue().Count(), 1u);

    // The logs already in the new session are not new; the old queue goes.
    worker.SetFolder(second);
    EXPECT_EQ(worker.Folder(), second);
    EXPECT_EQ(worker.Queue().Count(), 0u);
    LetFirstScanPass();
    WriteText(second / "Run4.txt", Header + LogLines(0, 2));
    ASSERT_TRUE(f.Listener.WaitFor(TFolderEvent::NewFiles, 2));
    EXPECT_EQ(worker.TakeQueued(), std::vector<fs::path>{second / "Run4.txt"});

    // An empty folder stops watching.
    worker.SetFolder("");
    LetFirstScanPass();
    WriteText(second / "Run5.txt", Header + LogLines(0, 2));
    EXPECT_FALSE(f.Listener.WaitFor(TFolderEvent::NewFiles, 3, 500ms));
}

TEST(FolderThreadTest, AFolderThatDisappearsIsGivenUpAndCanBeWatchedAgain) {
#ifdef _WIN32
    // Open to be mended: under Wine the removed folder stays listable while
    // the watch holds it, so the worker never finds it gone.
    GTEST_SKIP() << "a folder removed while watched is not found gone under Wine (not yet known on Windows)";
#endif
    TWorkerFixture f;
    const fs::path session = f.Folder.Path() / "S1";
    fs::create_directories(session);
    TFolderThread worker(f.Listener.Notify(), f.Options);
    worker.SetFolder(session);
    LetFirstScanPass();
    fs::remove_all(session);
    ASSERT_TRUE(f.Listener.WaitFor(TFolderEvent::FolderLost, 1));
    EXPECT_TRUE(worker.Folder().empty());

    fs::create_directories(session);
    worker.SetFolder(session);
    LetFirstScanPass();
    WriteText(session / "Run1.txt", Header + LogLines(0, 2));
    ASSERT_TRUE(f.Listener.WaitFor(TFolderEvent::NewFiles, 1));
    EXPECT_EQ(worker.TakeQueued(), std::vector<fs::path>{session / "Run1.txt"});
}

TEST(FolderThreadTest, StopWatchingEndsTheWorkerAtOnceAndNothingIsToldAfterwards) {
    TWorkerFixture f;
    f.Options.Timeout = 60000ms;
    auto worker = std::make_unique<TFolderThread>(f.Listener.Notify(), f.Options);
    // Never started: nothing to wait for.
    EXPECT_TRUE(TFolderThread(f.Listener.Notify(), f.Options).StopWatching());

    worker->SetFolder(f.Folder.Path());
    LetFirstScanPass();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(worker->StopWatching());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
    worker->SetFolder(f.Folder.Path());  // does nothing now
    WriteText(f.Log("Run1.txt"), Header + LogLines(0, 2));
    EXPECT_FALSE(f.Listener.WaitFor(TFolderEvent::NewFiles, 1, 400ms));
    worker.reset();
}

// A wait that ignores the wake event, like a worker stuck on a slow drive.
class TStuckWaiter : public TFolderWaiter {
  public:
    void Wake() override {}
    void ResetWake() override {}
    bool Watch(const fs::path&) override { return false; }
    void DropWatch() override {}
    TWakeReason Wait(std::chrono::milliseconds) override {
        std::this_thread::sleep_for(400ms);
        return TWakeReason::TimedOut;
    }
};

TEST(FolderThreadTest, AWorkerThatDoesNotStopInTimeIsLetGoNotFreed) {
    TWorkerFixture f;
    f.Options.StopLimit = 50ms;
    f.Options.MakeWaiter = [] { return std::make_unique<TStuckWaiter>(); };
    auto worker = std::make_unique<TFolderThread>(f.Listener.Notify(), f.Options);
    worker->SetFolder(f.Folder.Path());
    LetFirstScanPass();
    EXPECT_FALSE(worker->StopWatching());
    const auto start = std::chrono::steady_clock::now();
    worker.reset();  // must neither wait for the worker nor free its data under it
    EXPECT_LT(std::chrono::steady_clock::now() - start, 300ms);
    std::this_thread::sleep_for(500ms);  // the worker wakes, finds the stop and ends on its own
}

// Many logs at once, some written slowly in chunks: each ends up reported
// complete, once for its final contents.
TEST(FolderThreadTest, ManyLogsAppearingTogetherAreEachReportedOnceComplete) {
    TWorkerFixture f;
    f.Options.Timeout = 200ms;
    f.Options.SettleDelay = 500ms;
    TFolderThread worker(f.Listener.Notify(), f.Options);
    worker.SetFolder(f.Folder.Path());
    LetFirstScanPass();

    constexpr int Files = 500;
    constexpr int Chunked = Files / 5;
    std::map<fs::path, std::string> expected;
    for (int i = Chunked; i < Files; ++i) {
        const fs::path log = f.Log("Run" + std::to_string(i) + ".txt");
        WriteText(log, Header + LogLines(0, 5));
        expected[log] = Header + LogLines(0, 5);
    }
    for (int i = 0; i < Chunked; ++i) {
        const fs::path log = f.Log("Run" + std::to_string(i) + ".txt");
        WriteText(log, Header);
        expected[log] = Header;
    }
    for (int chunk = 0; chunk < 10; ++chunk) {
        std::this_thread::sleep_for(300ms);
        for (int i = 0; i < Chunked; ++i) {
            const fs::path log = f.Log("Run" + std::to_string(i) + ".txt");
            Append(log, LogLines(chunk * 3, 3));
            expected[log] += LogLines(chunk * 3, 3);
        }
    }

    std::map<fs::path, int> reports;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (reports.size() < expected.size() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(50ms);
        for (const fs::path& path : worker.TakeQueued()) {
            ++reports[path];
            EXPECT_EQ(ReadText(path), expected[path]) << path << " reported before it was complete";
        }
    }
    std::this_thread::sleep_for(f.Options.SettleDelay * 2);
    for (const fs::path& path : worker.TakeQueued()) ++reports[path];
    EXPECT_EQ(reports.size(), expected.size());
    for (const auto& [path, count] : reports) EXPECT_EQ(count, 1) << path;
}

}  // namespace
}  // namespace kelvane
