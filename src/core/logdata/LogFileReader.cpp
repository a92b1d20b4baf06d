#include "core/logdata/LogFileReader.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <new>
#include <string_view>
#include <vector>

#include "core/ground/AtomicFile.h"
#include "core/ground/FileNameCase.h"
#include "core/ground/OrderedWork.h"
#include "core/ground/Platform.h"
#include "core/ground/WorkerPool.h"
#include "core/logdata/AfrSmoothing.h"
#include "core/logdata/LogFirstLine.h"
#include "core/logdata/LogHeader.h"
#include "core/logdata/LogLineParser.h"
#include "core/logdata/PlotMafPass.h"

namespace kelvane {

namespace {

constexpr double FileGapDays = 1.1574074074074074e-06;  // 0.1 s between two files
constexpr std::uint64_t NoLineStart = UINT64_MAX;

// A read that could not be completed: the reason goes to the user.
struct TReadFailure {
    std::string Reason;
};

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

const char* FindLineEnd(const char* p, const char* end) {
    while (p < end && !IsLineEnd(*p)) ++p;
    return p;
}

// FindLineEnd for long stretches: two library scans beat a loop over the bytes.
const char* FindLineEndFast(const char* p, const char* end) {
    const auto length = static_cast<std::size_t>(end - p);
    const auto* lf = static_cast<const char*>(std::memchr(p, '\n', length));
    const char* const limit = lf ? lf : end;
    const auto* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(limit - p)));
    return cr ? cr : limit;
}

void ReadExactly(const platform::TReadOnlyFile& file, std::uint64_t offset, std::string& buffer,
                 std::size_t length) {
    buffer.resize(length);
    const std::int64_t read = file.ReadAt(offset, buffer.data(), length);
    if (read < 0) throw TReadFailure{std::strerror(errno)};
    if (static_cast<std::size_t>(read) != length) throw TReadFailure{"the file changed while it was read"};
}

// What the reader learns from a file's first lines.
struct TFileStart {
    std::string Header;           // the header line, without a byte-order mark and line end
    std::uint64_t FirstData = 0;  // file offset of the first data line; the size when there is none
    char Separator = '.';         // a comma in the first data line makes it the decimal separator
};

// Walks the bytes after the header one block at a time, so that a first data line
// (or a run of blank lines) of any length costs one block of memory.
class TStartCursor {
  public:
    TStartCursor(const platform::TReadOnlyFile& file, std::string block, std::size_t at)
        : FFile(file), FBlock(std::move(block)), FAt(at) {}

    // The file offset of the byte under the cursor.
    std::uint64_t Offset() const { return FBlockStart + FAt; }
    // The byte under the cursor, or -1 at the end of the file.
    int Peek() {
        if (FAt == FBlock.size() && !NextBlock()) return -1;
        return static_cast<unsigned char>(FBlock[FAt]);
    }
    void Skip() { ++FAt; }
    // Moves to the next line end (or the end of the file); true when a comma was passed.
    bool SkipToLineEnd() {
        bool comma = false;
        while (FAt < FBlock.size() || NextBlock()) {
            const char* const p = FBlock.data() + FAt;
            const char* const end = FBlock.data() + FBlock.size();
            const char* const lineEnd = FindLineEndFast(p, end);
            comma = comma || std::find(p, lineEnd, ',') != lineEnd;
            FAt = static_cast<std::size_t>(lineEnd - FBlock.data());
            if (lineEnd < end) break;
        }
        return comma;
    }

  private:
    static constexpr std::size_t BlockBytes = 64u << 10;

    bool NextBlock() {
        const std::uint64_t next = FBlockStart + FBlock.size();
        if (next >= FFile.Size()) return false;
        ReadExactly(FFile, next, FBlock,
                    static_cast<std::size_t>(std::min<std::uint64_t>(BlockBytes, FFile.Size() - next)));
        FBlockStart = next;
        FAt = 0;
        return true;
    }

    const platform::TReadOnlyFile& FFile;
    std::string FBlock;
    std::uint64_t FBlockStart = 0;
    std::size_t FAt = 0;
};

// Reads the header, skips the blank lines after it and finds the first data line and
// whether it holds a comma. A first line longer than any header ends the read: a file
// of NUL bytes or a binary is no log, however large.
TFileStart ReadFileStart(const platform::TReadOnlyFile& file) {
    std::string block;
    ReadExactly(file, 0, block,
                static_cast<std::size_t>(
                    std::min<std::uint64_t>(file.Size(), Utf8Bom.size() + MaxLogHeaderLength + 1)));
    const std::size_t headerStart = std::string_view(block).starts_with(Utf8Bom) ? Utf8Bom.size() : 0;
    const std::size_t headerEnd = static_cast<std::size_t>(
        FindLineEnd(block.data() + headerStart, block.data() + block.size()) - block.data());
    if (headerEnd - headerStart > MaxLogHeaderLength) throw TReadFailure{LongFirstLineReason()};

    TFileStart start;
    start.Header.assign(block, headerStart, headerEnd - headerStart);
    TStartCursor cursor(file, std::move(block), headerEnd);
    const auto skipLineEnd = [&cursor] {
        const int c = cursor.Peek();
        cursor.Skip();
        if (c == '\r' && cursor.Peek() == '\n') cursor.Skip();
    };
    if (cursor.Peek() >= 0) skipLineEnd();
    // Blank lines: blanks and tabs up to a line end.
    for (;;) {
        const std::uint64_t lineStart = cursor.Offset();
        int c = cursor.Peek();
        while (c == ' ' || c == '\t') {
            cursor.Skip();
            c = cursor.Peek();
        }
        if (c == '\r' || c == '\n') {
            skipLineEnd();
            continue;
        }
        if (c < 0) {
            start.FirstData = file.Size();
            return start;
        }
        start.FirstData = lineStart;
        break;
    }
    start.Separator = cursor.SkipToLineEnd() ? ',' : '.';
    return start;
}

// One block of the data lines: the first line starting in it and how many lines
// starting in it could hold a sample (an upper bound, for reserving).
struct TBlockScan {
    std::uint64_t LineStart = NoLineStart;
    std::size_t Lines = 0;
};

// Scans the block [blockStart, blockEnd). A line belongs to the block its first byte
// lies in; blocks after the first look one byte back to tell where lines start.
TBlockScan ScanBlock(const platform::TReadOnlyFile& file, std::uint64_t blockStart, std::uint64_t blockEnd,
                     bool firstBlock, const TLineReader& reader, std::string& buffer) {
    const std::size_t shortestLine = reader.ShortestSampleLine();
    const std::uint64_t readStart = firstBlock ? blockStart : blockStart - 1;
    const std::uint64_t readEnd = std::min(blockEnd + 1, file.Size());
    ReadExactly(file, readStart, buffer, static_cast<std::size_t>(readEnd - readStart));
    const char* const bufferStart = buffer.data();
    const char* const block = bufferStart + (blockStart - readStart);
    const char* const stop = bufferStart + (blockEnd - readStart);
    const char* const end = bufferStart + buffer.size();
    const bool fileEnd = readEnd == file.Size();

    TBlockScan scan;
    const char* p = firstBlock ? block : SkipLineEnd(FindLineEndFast(block - 1, end), end);
    if (p >= stop) return scan;
    scan.LineStart = readStart + static_cast<std::uint64_t>(p - bufferStart);
    while (p < stop) {
        const char* const lineEnd = FindLineEndFast(p, end);
        if (lineEnd == end && !fileEnd) {  // runs on past the block: counted, as it may hold a sample
            ++scan.Lines;
            break;
        }
        // Memory follows the samples: a line the range test would drop takes no room.
        if (static_cast<std::size_t>(lineEnd - p) >= shortestLine && reader.MayHoldSample(p, lineEnd))
            ++scan.Lines;
        p = SkipLineEnd(lineEnd, end);
    }
    return scan;
}

// A run of whole data lines, parsed as one piece of work.
struct TChunk {
    std::uint64_t Begin = 0;
    std::uint64_t End = 0;
    std::size_t Lines = 0;  // at most this many samples
};

// Splits the data lines into chunks of about blockBytes each, scanning the blocks in parallel.
std::vector<TChunk> SplitIntoChunks(const platform::TReadOnlyFile& file, std::uint64_t firstData,
                                    std::uint64_t blockBytes, const TLineReader& reader, unsigned threads) {
    const std::uint64_t size = file.Size();
    const std::size_t blocks = static_cast<std::size_t>((size - firstData + blockBytes - 1) / blockBytes);
    std::vector<TBlockScan> scans(blocks);
    const std::size_t window = 2 * static_cast<std::size_t>(threads);
    std::vector<std::string> buffers(window);
    TOrderedWork work;
    work.Count = blocks;
    work.Threads = threads;
    work.Window = window;
    work.Work = [&](std::size_t block, std::size_t slot) {
        const std::uint64_t start = firstData + block * blockBytes;
        scans[block] =
            ScanBlock(file, start, std::min(start + blockBytes, size), block == 0, reader, buffers[slot]);
    };
    work.Deliver = [](std::size_t, std::size_t) { return true; };
    RunInOrder(work);

    std::vector<TChunk> chunks;
    for (const TBlockScan& scan : scans) {
        if (scan.LineStart != NoLineStart) {
            if (!chunks.empty()) chunks.back().End = scan.LineStart;
            chunks.push_back({scan.LineStart, size, 0});
        }
        if (!chunks.empty()) chunks.back().Lines += scan.Lines;
    }
    return chunks;
}

// Where a file's samples go on the time line and which file index they take.
struct TJoinPlace {
    double BaseTime = 0;
    std::uint32_t FileIndex = 0;
    bool operator==(const TJoinPlace&) const = default;
};

// Where the list's next file starts on the common time line.
double NextBaseTime(const TLogData& data) {
    return data.Entries.empty() ? 0.0 : data.Entries.back().TimeStamp + FileGapDays;
}

TJoinPlace PlaceAtEnd(const TLogData& data) {
    return {NextBaseTime(data), static_cast<std::uint32_t>(data.Files.size())};
}

// The place the file will take once its earlier copy, if open, is removed.
TJoinPlace PlaceAfterRemoval(const TLogState& state, std::string_view fileName) {
    const auto& files = state.Data.Files;
    if (state.OpenFiles.IndexOf(fileName) < 0) return PlaceAtEnd(state.Data);
    std::vector<bool> removed(files.size(), false);
    std::size_t kept = files.size();
    for (std::size_t f = 0; f < files.size(); ++f)
        if (SameFileName(files[f].FileName, fileName)) {
            removed[f] = true;
            --kept;
        }
    TJoinPlace place{0.0, static_cast<std::uint32_t>(kept)};
    const auto& entries = state.Data.Entries;
    for (auto e = entries.rbegin(); e != entries.rend(); ++e)
        if (!removed[e->File]) {
            place.BaseTime = e->TimeStamp + FileGapDays;
            break;
        }
    return place;
}

std::size_t SamplesOfFile(const TLogState& state, std::string_view fileName) {
    if (state.OpenFiles.IndexOf(fileName) < 0) return 0;
    std::vector<char> ofFile(state.Data.Files.size());
    for (std::size_t f = 0; f < ofFile.size(); ++f)
        ofFile[f] = SameFileName(state.Data.Files[f].FileName, fileName);
    return static_cast<std::size_t>(
        std::count_if(state.Data.Entries.begin(), state.Data.Entries.end(),
                      [&](const TLogDataEntry& e) { return ofFile[e.File] != 0; }));
}

// What one file's data lines gave.
struct TFileSamples {
    TParsedLines Counts;
    bool Cancelled = false;
};

// A chunk's work space: its bytes and the samples parsed from them.
struct TChunkSlot {
    std::string Bytes;
    TSampleChunk Samples;
    TParsedLines Counts;
};

// Parses the data lines chunk by chunk on the machine's threads and hands each
// chunk's samples, in file order, to take (on the calling thread). With a progress
// callback, that is told the bytes done after each step's worth of chunks; its
// false cancels. Given room, the reserved place of the samples, each chunk first
// faults in its share of it: the system clears new pages on the threads that fault
// them, and a chunk's samples never land beyond the shares of the chunks up to it.
TFileSamples ParseChunks(const platform::TReadOnlyFile& file, const std::vector<TChunk>& chunks,
                         const TLineReader& reader, const TJoinPlace& place, std::uint64_t firstData,
                         unsigned threads, const TLoadLogOptions& options, TLogDataEntry* room,
                         const std::function<void(TChunkSlot&)>& take) {
    TFileSamples result;
    std::vector<std::size_t> share(chunks.size() + 1, 0);
    for (std::size_t i = 0; i < chunks.size(); ++i) share[i + 1] = share[i] + chunks[i].Lines;
    const std::size_t window = 2 * static_cast<std::size_t>(threads);
    std::vector<TChunkSlot> slots(window);
    std::uint64_t reported = 0;
    TOrderedWork work;
    work.Count = chunks.size();
    work.Threads = threads;
    work.Window = window;
    work.Work = [&](std::size_t index, std::size_t slotIndex) {
        const TChunk& chunk = chunks[index];
        TChunkSlot& slot = slots[slotIndex];
        if (room) platform::PrepareLargeBlock(room + share[index], chunk.Lines * sizeof(TLogDataEntry), true);
        ReadExactly(file, chunk.Begin, slot.Bytes, static_cast<std::size_t>(chunk.End - chunk.Begin));
        slot.Samples.clear();
        slot.Samples.reserve(chunk.Lines);
        const TLinePlace linePlace{place.BaseTime, place.FileIndex, chunk.Begin, chunk.Begin == firstData};
        slot.Counts = ParseLogLines(slot.Samples, slot.Bytes.data(), slot.Bytes.data() + slot.Bytes.size(),
                                    reader, linePlace);
    };
    work.Deliver = [&](std::size_t index, std::size_t slotIndex) {
        TChunkSlot& slot = slots[slotIndex];
        result.Counts += slot.Counts;
        take(slot);
        if (!options.Progress) return true;
        const std::uint64_t done = chunks[index].End;
        if (done < file.Size() && done - reported < options.ProgressStep) return true;
        reported = done;
        return options.Progress(done, file.Size());
    };
    result.Cancelled = !RunInOrder(work);
    return result;
}

std::size_t TotalLines(const std::vector<TChunk>& chunks) {
    std::size_t lines = 0;
    for (const TChunk& chunk : chunks) lines += chunk.Lines;
    return lines;
}

// Room for more samples at the end of the list, taken before they arrive so the list
// is moved at most once. Returns where the new samples will go.
TLogDataEntry* ReserveMore(std::vector<TLogDataEntry>& entries, std::size_t more) {
    const std::size_t needed = entries.size() + more;
    if (entries.capacity() < needed) {
        entries.reserve(needed);
        if (more * sizeof(TLogDataEntry) >= (16u << 20))
            platform::PrepareLargeBlock(entries.data() + entries.size(), more * sizeof(TLogDataEntry), false);
    }
    return entries.data() + entries.size();
}

// The file-level facts of a file whose samples start at index first of the list.
struct TFileFlags {
    std::size_t First = 0;
    bool O2Active = false;
    bool AfrPresent = false;
};

TFileFlags FileFlags(const TLogState& state, std::size_t first, const TLogHeader& header,
                     const TParsedLines& parsed) {
    const std::size_t n = state.Data.Entries.size() - first;
    TFileFlags flags;
    flags.First = first;
    flags.O2Active =
        header.Has(FieldO2Adjust) && static_cast<double>(parsed.O2Samples) > 0.01 * static_cast<double>(n);
    flags.AfrPresent = header.Has(FieldAfr) && n >= 2;
    return flags;
}

// The passes over the whole list after a load (smoothing and PlotMaf), and the flags
// of the new file's samples, in one pass split over the threads.
void FinishList(TLogData& data, const TLoadLogOptions& options, const TFileFlags* flags, unsigned threads) {
    auto& entries = data.Entries;
    const std::size_t n = entries.size();
    constexpr std::size_t PieceSamples = 1u << 16;
    TOrderedWork work;
    work.Count = (n + PieceSamples - 1) / PieceSamples;
    work.Threads = threads;
    work.Window = 2 * static_cast<std::size_t>(threads);
    work.Work = [&](std::size_t piece, std::size_t) {
        const std::size_t first = piece * PieceSamples;
        const std::size_t last = std::min(n, first + PieceSamples);
        SmoothAfr(data, options.AfrSmoothing, first, last);
        for (std::size_t i = first; i < last; ++i) {
            TLogDataEntry& e = entries[i];
            e.PlotMaf = PlotMafOf(e.MafSignal, options.LHConfig);
            if (flags && i >= flags->First) {
                e.O2Active = flags->O2Active ? 1 : 0;
                e.AfrPresent = flags->AfrPresent ? 1 : 0;
            }
        }
    };
    work.Deliver = [](std::size_t, std::size_t) { return true; };
    RunInOrder(work);
}

enum class TReadOutcome { NoData, Rejected, Loaded, Cancelled };

// What reading one file gave, for the result.
struct TFileRead {
    TReadOutcome Outcome = TReadOutcome::Loaded;
    std::string Message;
    std::size_t Added = 0;
    TDataLineCounts Lines;
    TFileFlags Flags;
};

TDataLineCounts LineCounts(std::size_t added, const TParsedLines& parsed) {
    TDataLineCounts lines;
    lines.OutOfRange = parsed.OutOfRange;
    lines.Unreadable = parsed.Unreadable;
    lines.Read = added + lines.Skipped();
    return lines;
}

// Everything about the file but its samples, in the order the reader learns it.
struct TFilePlan {
    TFileStart Start;
    TLogHeader Header;
    TLineReader Reader;
    std::vector<TChunk> Chunks;
};

// Reads the header and splits the data lines; false when the file has no data line or
// its header is rejected (read then says which).
bool PlanFile(TLogState& state, const platform::TReadOnlyFile& file, const TLoadLogOptions& options,
              unsigned threads, TFilePlan& plan, TFileRead& read) {
    plan.Start = ReadFileStart(file);
    if (plan.Start.FirstData >= file.Size()) {
        read.Outcome = TReadOutcome::NoData;
        return false;
    }
    plan.Header = ParseLogHeader(plan.Start.Header);
    if (!plan.Header.Accepted()) {
        plan.Header.MarkColumns(state.ColumnPresent);
        read.Message = plan.Header.RejectionMessage();
        read.Outcome = TReadOutcome::Rejected;
        return false;
    }
    plan.Reader = MakeLineReader(plan.Header, plan.Start.Separator);
    plan.Chunks = SplitIntoChunks(file, plan.Start.FirstData,
                                  std::max<std::uint64_t>(options.ProgressStep, 1), plan.Reader, threads);
    return true;
}

TLogFileInfo FileInfo(std::string fileName, const TFilePlan& plan, std::uint64_t size,
                      std::filesystem::file_time_type modified) {
    TLogFileInfo info;
    info.FileName = std::move(fileName);
    info.Header = plan.Start.Header;
    info.Separator = plan.Start.Separator;
    info.Size = size;
    info.Modified = modified;
    return info;
}

// What the samples from first on make of the file: its counts and flags, and its facts
// in the list's files when it gave any sample.
void RecordFile(TLogState& state, std::size_t first, const TFilePlan& plan, const TFileSamples& samples,
                TLogFileInfo info, TFileRead& read) {
    read.Added = state.Data.Entries.size() - first;
    read.Lines = LineCounts(read.Added, samples.Counts);
    read.Flags = FileFlags(state, first, plan.Header, samples.Counts);
    if (read.Added > 0) state.Data.Files.push_back(std::move(info));
}

// Parses the file straight onto the end of the list. On an exception the list and its
// files are as they were before the call.
TFileRead AppendLogSamples(TLogState& state, const std::string& fileName, const platform::TReadOnlyFile& file,
                           std::filesystem::file_time_type modified, const TLoadLogOptions& options,
                           unsigned threads) {
    TFileRead read;
    TFilePlan plan;
    if (!PlanFile(state, file, options, threads, plan, read)) return read;

    auto& entries = state.Data.Entries;
    const std::size_t first = entries.size();
    const TColumnSet columnsBefore = state.ColumnPresent;
    try {
        plan.Header.MarkColumns(state.ColumnPresent);
        TLogDataEntry* const room = ReserveMore(entries, TotalLines(plan.Chunks));
        const TFileSamples samples =
            ParseChunks(file, plan.Chunks, plan.Reader, PlaceAtEnd(state.Data), plan.Start.FirstData, threads,
                        options, room, [&](TChunkSlot& slot) {
                            entries.insert(entries.end(), slot.Samples.begin(), slot.Samples.end());
                        });
        RecordFile(state, first, plan, samples, FileInfo(fileName, plan, file.Size(), modified), read);
    } catch (...) {
        entries.resize(first);
        state.ColumnPresent = columnsBefore;
        throw;
    }
    return read;
}

// Parses the file aside, telling progress, and joins the samples to the list only when
// the parse was not cancelled. The file's earlier copy is removed at the join, so that
// a cancel keeps it. Events run from the callback may have changed the list: then the
// samples are placed again by the list as it is at the join.
TFileRead StageLogSamples(TLogState& state, const std::string& fileName, const platform::TReadOnlyFile& file,
                          std::filesystem::file_time_type modified, const TLoadLogOptions& options,
                          unsigned threads) {
    TFileRead read;
    TFilePlan plan;
    if (!PlanFile(state, file, options, threads, plan, read)) {
        if (state.OpenFiles.IndexOf(fileName) >= 0) RemoveLogFile(state, fileName);
        return read;
    }

    const TJoinPlace planned = PlaceAfterRemoval(state, fileName);
    // The list takes its room now, while it has no staged samples beside it.
    // A file read again gives back the room of its earlier samples.
    const std::size_t leaving = SamplesOfFile(state, fileName);
    ReserveMore(state.Data.Entries, TotalLines(plan.Chunks) - std::min(leaving, TotalLines(plan.Chunks)));
    std::vector<TSampleChunk> staged;
    const TFileSamples samples = ParseChunks(file, plan.Chunks, plan.Reader, planned, plan.Start.FirstData,
                                             threads, options, nullptr, [&](TChunkSlot& slot) {
                                                 staged.push_back(std::move(slot.Samples));
                                                 slot.Samples = {};
                                             });
    if (samples.Cancelled) {
        read.Outcome = TReadOutcome::Cancelled;
        return read;
    }

    if (state.OpenFiles.IndexOf(fileName) >= 0) RemoveLogFile(state, fileName);
    plan.Header.MarkColumns(state.ColumnPresent);
    const TJoinPlace place = PlaceAtEnd(state.Data);
    auto& entries = state.Data.Entries;
    const std::size_t first = entries.size();
    try {
        for (TSampleChunk& chunk : staged) {
            if (place != planned)
                for (TLogDataEntry& e : chunk) {
                    e.TimeStamp = SampleTimeStamp(place.BaseTime, e.TimeSec);
                    e.File = place.FileIndex;
                }
            entries.insert(entries.end(), chunk.begin(), chunk.end());
            TSampleChunk().swap(chunk);  // held once: each chunk goes as it joins
        }
        RecordFile(state, first, plan, samples, FileInfo(fileName, plan, file.Size(), modified), read);
    } catch (...) {
        entries.resize(first);
        throw;
    }
    return read;
}

void TwoDigits(std::string& out, unsigned value) {
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

}  // namespace

std::string OpenFileValue(std::uint64_t size, std::filesystem::file_time_type modified) {
    using namespace std::chrono;
    const auto sys = file_clock::to_sys(modified);
    const auto day = floor<days>(sys);
    const year_month_day date(day);
    const hh_mm_ss time(floor<nanoseconds>(sys - day));
    std::string out = std::to_string(size);
    out += ';';
    out += std::to_string(static_cast<int>(date.year()));
    out += '-';
    TwoDigits(out, static_cast<unsigned>(date.month()));
    out += '-';
    TwoDigits(out, static_cast<unsigned>(date.day()));
    out += ' ';
    TwoDigits(out, static_cast<unsigned>(time.hours().count()));
    out += ':';
    TwoDigits(out, static_cast<unsigned>(time.minutes().count()));
    out += ':';
    TwoDigits(out, static_cast<unsigned>(time.seconds().count()));
    const std::string fraction = std::to_string(time.subseconds().count());
    out += '.';
    out.append(9 - std::min<std::size_t>(9, fraction.size()), '0');
    out += fraction;
    return out;
}

TLoadLogResult LoadLogFile(TLogState& state, const std::filesystem::path& path,
                           const TLoadLogOptions& options) {
    TLoadLogResult result;
    const std::string fileName = path.string();
    const unsigned threads = options.Threads > 0 ? options.Threads : static_cast<unsigned>(ThreadLimit());
    // With a progress callback the earlier copy goes only when the new one joins the list.
    const bool staged = static_cast<bool>(options.Progress);
    if (!staged && state.OpenFiles.IndexOf(fileName) >= 0) RemoveLogFile(state, fileName);

    platform::TReadOnlyFile file;
    std::string openError;
    if (file.Open(path, openError)) {
        std::error_code timeError;
        const auto modified = std::filesystem::last_write_time(path, timeError);
        TFileRead read;
        try {
            read = staged ? StageLogSamples(state, fileName, file, modified, options, threads)
                          : AppendLogSamples(state, fileName, file, modified, options, threads);
        } catch (const TReadFailure& failure) {
            read.Outcome = TReadOutcome::NoData;
            result.Unreadable = true;
            result.Message = failure.Reason;
        } catch (const std::bad_alloc&) {
            read.Outcome = TReadOutcome::NoData;
            result.Unreadable = true;
            result.OutOfMemory = true;
            result.Message = "not enough memory";
        }
        if (read.Outcome == TReadOutcome::Cancelled) {
            result.Cancelled = true;
            return result;
        }
        if (!result.Unreadable) {
            result.Message = std::move(read.Message);
            result.HeaderRejected = read.Outcome == TReadOutcome::Rejected;
            result.Loaded = read.Outcome == TReadOutcome::Loaded;
            result.NoData = read.Outcome == TReadOutcome::NoData;
            result.SamplesAdded = read.Added;
            result.Lines = read.Lines;
        }
        if (result.Loaded)
            state.OpenFiles.SetValue(fileName, timeError ? std::to_string(file.Size()).append(";")
                                                         : OpenFileValue(file.Size(), modified));
        // Smoothing runs whenever the list may have changed: removing an earlier copy of the
        // file joins samples whose smoothed AFR would otherwise be stale.
        FinishList(state.Data, options, result.Loaded ? &read.Flags : nullptr, threads);
        return result;
    }
    result.Unreadable = true;
    result.Message = openError;
    if (staged && state.OpenFiles.IndexOf(fileName) >= 0) RemoveLogFile(state, fileName);
    FinishList(state.Data, options, nullptr, threads);
    return result;
}

std::string NotLoadedMessage(const std::filesystem::path& path, const TLoadLogResult& result) {
    const std::string name = path.filename().string();
    if (result.OutOfMemory) return "Not enough memory to read " + name;
    if (result.Unreadable) return "Cannot read " + name + ": " + result.Message;
    if (result.NoData) return name + " holds no log data";
    return {};
}

std::string SkippedLinesMessage(const std::filesystem::path& path, const TLoadLogResult& result) {
    const TDataLineCounts& lines = result.Lines;
    if (!result.Loaded || lines.Skipped() == 0) return {};
    constexpr std::string_view OutOfRange = "RPM or load out of range";
    constexpr std::string_view Unreadable = "no readable RPM or load value";
    std::string text = path.filename().string() + ": " + std::to_string(lines.Skipped()) + " of " +
                       std::to_string(lines.Read) + (lines.Read == 1 ? " data line" : " data lines") +
                       " skipped: ";
    if (lines.Unreadable == 0) {
        text += OutOfRange;
    } else if (lines.OutOfRange == 0) {
        text += Unreadable;
    } else {
        text += std::to_string(lines.OutOfRange) + " with " + std::string(OutOfRange) + ", " +
                std::to_string(lines.Unreadable) + " with " + std::string(Unreadable);
    }
    return text;
}

bool RemoveLogFile(TLogState& state, std::string_view fileName) {
    const bool listed = state.OpenFiles.IndexOf(fileName) >= 0;
    state.OpenFiles.SetValue(fileName, "");

    auto& files = state.Data.Files;
    std::vector<std::uint32_t> newIndex(files.size());
    constexpr std::uint32_t Removed = UINT32_MAX;
    std::size_t kept = 0;
    for (std::size_t f = 0; f < files.size(); ++f) {
        if (SameFileName(files[f].FileName, fileName)) {
            newIndex[f] = Removed;
        } else {
            newIndex[f] = static_cast<std::uint32_t>(kept);
            if (kept != f) files[kept] = std::move(files[f]);
            ++kept;
        }
    }
    if (kept == files.size()) return listed;
    files.resize(kept);

    auto& entries = state.Data.Entries;
    std::size_t out = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::uint32_t target = newIndex[entries[i].File];
        if (target == Removed) continue;
        entries[out] = entries[i];
        entries[out].File = target;
        ++out;
    }
    entries.resize(out);
    return true;
}

void ClearLogState(TLogState& state) {
    state.Data.Clear();
    state.OpenFiles.Clear();
    state.ColumnPresent.fill(0);
}

}  // namespace kelvane
