#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>

#include "core/ground/FileDefs.h"
#include "core/ground/ThreadStringListUnit.h"

namespace kelvane {

// The debug log's file lives in the temp folder under this name; the log is
// on only when the user has created that file before start-up.
inline constexpr std::string_view DebugLogFileName = "KVdebug.log";

// Where the debug log is looked for: "c:\temp\KVdebug.log" on Windows, the
// temp folder's KVdebug.log elsewhere.
std::filesystem::path DebugLogPath();

// The time prefix of a line: "hh:nn:ss", then with Milliseconds ".zzz", then
// a blank.
enum class TLogTimePrecision { Seconds, Milliseconds };
std::string DebugLogPrefix(int hour, int minute, int second, int millisecond, TLogTimePrecision precision);

// The debug log: any thread queues lines, only the thread that opened the log
// (the UI thread) appends them to the file.
class TDebugLog {
  public:
    static constexpr int ActiveLevel = 10;
    static constexpr std::size_t TrimAboveBytes = 100000;
    static constexpr std::size_t KeepLines = 1000;
    static constexpr std::chrono::seconds FlushTimeLimit{5};

    TDebugLog() = default;
    TDebugLog(const TDebugLog&) = delete;
    TDebugLog& operator=(const TDebugLog&) = delete;

    // Turns logging on when fileName exists: a file larger than
    // TrimAboveBytes is cut to its last KeepLines lines first. The calling
    // thread becomes the one that flushes. False (logging off) otherwise, and
    // when the cut file cannot be written back.
    bool Open(const std::filesystem::path& fileName);

    bool Active() const { return !FFileName.empty(); }
    int Level() const { return FLevel; }
    const std::filesystem::path& FileName() const { return FFileName; }

    // Queues the text with its time prefix when level <= the log level.
    // Safe from any thread.
    void LogLine(std::string_view text, int level = 1);

    // Appends queued lines from the head, deleting each only once written;
    // stops when the queue is empty, an append fails or FlushTimeLimit is
    // spent. Does nothing on any thread but the opening one. True when the
    // queue was emptied.
    bool FlushLog();

    // The queued lines not yet written.
    std::size_t Pending() const { return FQueue.Count(); }

    // A callback for the file utilities that log through this log.
    TLogCallback Callback() {
        return [this](const std::string& line) { LogLine(line); };
    }

  private:
    std::filesystem::path FFileName;
    int FLevel = 0;
    std::thread::id FOwner;
    TThreadStringList FQueue;
};

}  // namespace kelvane
