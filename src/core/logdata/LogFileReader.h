#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/logdata/FilterSettings.h"
#include "core/logdata/LogState.h"
#include "core/maps/EngineSetup.h"

namespace kelvane {

struct TLoadLogOptions {
    int AfrSmoothing = DefaultAfrSmoothing;  // current "AFR Smoothing" setting, 1 .. 6
    TLHConfig LHConfig = TLHConfig::Unset;   // decides the PlotMaf pass

    // Optional: told the bytes parsed so far and the file's size every ProgressStep bytes
    // of data lines, the last time with done == total. Returning false cancels the load and
    // leaves the log state exactly as it was. With it the lines are parsed aside and join
    // the list only at the end, so events run from the callback see the list unchanged.
    // It runs on the calling thread.
    std::function<bool(std::uint64_t done, std::uint64_t total)> Progress;
    // The data lines are read and parsed in pieces of about this many bytes.
    std::uint64_t ProgressStep = std::uint64_t{1} << 20;
    unsigned Threads = 0;  // threads that parse; 0: ThreadLimit() (KELVANE_THREADS, or the cores)
};

// The data lines of one file (the lines after the header and the blank lines that follow
// it) and those the reader dropped, by reason.
struct TDataLineCounts {
    std::size_t Read = 0;
    std::size_t OutOfRange = 0;  // RPM, or the MAF signal with no MAP in range to stand in, out of range
    std::size_t Unreadable = 0;  // no number for RPM, or none in any load column, where one was needed
    std::size_t Skipped() const { return OutOfRange + Unreadable; }
};

struct TLoadLogResult {
    bool Loaded = false;          // the file was read and its header accepted
    bool HeaderRejected = false;  // show Message in an error box with an OK button
    bool Cancelled = false;       // the progress callback stopped it; nothing changed
    bool Unreadable = false;      // the file could not be opened or read (Message says why)
    bool NoData = false;          // empty, or no data line after the header: nothing to add
    bool OutOfMemory = false;     // with Unreadable: the samples did not fit in memory
    std::string Message;
    std::size_t SamplesAdded = 0;
    TDataLineCounts Lines;  // set when Loaded
    // The header was accepted but every data line was dropped: worth a box, not only a status line.
    bool NothingRead() const { return Loaded && SamplesAdded == 0 && Lines.Skipped() > 0; }
};

// Reads one log file and appends its accepted samples to the list (a file already open is
// removed first, so it moves to the end). Then smooths the AFR over the whole list, runs
// the PlotMaf pass and records the file in OpenFiles. Never shows anything. A cancelled
// load changes nothing (not even an already-open file's samples) and runs no pass. The
// file's text is not kept: only each sample's place in the file. A file that does not fit
// in memory, or changes while it is read, leaves the list as it was.
TLoadLogResult LoadLogFile(TLogState& state, const std::filesystem::path& path,
                           const TLoadLogOptions& options);

// What the user is told about a loaded file's dropped lines, naming the file, how many of
// its data lines were skipped and why; empty when none was. For example "Run3.txt: 1200 of
// 1200 data lines skipped: RPM or load out of range".
std::string SkippedLinesMessage(const std::filesystem::path& path, const TLoadLogResult& result);

// What the user is told about a file that gave nothing at all: one that could
// not be read ("Cannot read Run3.txt: Permission denied"), or one with no
// data ("Run3.txt holds no log data"); empty otherwise.
std::string NotLoadedMessage(const std::filesystem::path& path, const TLoadLogResult& result);

// Removes every sample of the named file (names compared by SameFileName), the
// file's facts and its OpenFiles pair. True when anything was removed.
bool RemoveLogFile(TLogState& state, std::string_view fileName);

// The log part of closing the plot: empties the list, OpenFiles and ColumnPresent.
void ClearLogState(TLogState& state);

// The OpenFiles value of a file: its size in bytes, ";", and its modification time as
// "YYYY-MM-DD hh:mm:ss.nnnnnnnnn" (UTC).
std::string OpenFileValue(std::uint64_t size, std::filesystem::file_time_type modified);

}  // namespace kelvane
