#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/ground/PageAllocator.h"
#include "core/logdata/KelvaneDefs.h"
#include "core/logdata/LogHeader.h"

namespace kelvane {

// What the reader does with one column of a file: where in the entry its value goes and how.
struct TColumnPlan {
    enum TKind : std::uint8_t { Skip, Number, Integer, KnockRetard, Fahrenheit } Kind = Skip;
    std::uint16_t Offset = 0;  // byte offset of the field in TLogDataEntry
};

// How the data lines of one file are read; made once from the header and the first data line.
struct TLineReader {
    std::vector<TColumnPlan> Plan;
    char Separator = '.';
    bool TestLoad = true;  // logs without a MAF signal or MAP column take their load from "Load [%]" alone
    // Columns of the range-tested values, -1 when absent: only a dropped line looks at them again.
    int RpmColumn = -1;
    int MafColumn = -1;
    int MapColumn = -1;

    // The fewest bytes a line needs to hold a sample: it must reach the RPM column and,
    // when the load is tested, a MAF signal or MAP column, each with a digit in it.
    std::size_t ShortestSampleLine() const;
    // Whether the line [line, lineEnd) gives a sample: its RPM and, when the load is
    // tested, its MAF signal or MAP pass the range test. Room is taken for those lines only.
    bool MayHoldSample(const char* line, const char* lineEnd) const;
};

TLineReader MakeLineReader(const TLogHeader& header, char separator);

// What parsing some data lines of a file found besides the samples.
struct TParsedLines {
    std::size_t O2Samples = 0;  // samples that show real O2 adjustment
    std::size_t OutOfRange = 0;
    std::size_t Unreadable = 0;

    TParsedLines& operator+=(const TParsedLines& more) {
        O2Samples += more.O2Samples;
        OutOfRange += more.OutOfRange;
        Unreadable += more.Unreadable;
        return *this;
    }
};

// Where the samples of a run of lines belong.
struct TLinePlace {
    double BaseTime = 0;  // the file's start on the plot's common time line
    std::uint32_t FileIndex = 0;
    std::uint64_t FileOffset = 0;  // the file offset of the first byte given
    bool FirstLineOfFile = false;  // the first line given is the file's first data line
};

// The samples of a piece of a file, parsed before they join the list.
using TSampleChunk = std::vector<TLogDataEntry, TPageAllocator<TLogDataEntry>>;

// Parses the whole lines in [begin, end) and appends the accepted samples to entries.
TParsedLines ParseLogLines(TSampleChunk& entries, const char* begin, const char* end,
                           const TLineReader& reader, const TLinePlace& place);

// Position after the line end at p: CR, LF, or CR LF as one.
inline const char* SkipLineEnd(const char* p, const char* end) {
    if (p < end && *p == '\r') {
        ++p;
        if (p < end && *p == '\n') ++p;
    } else if (p < end && *p == '\n') {
        ++p;
    }
    return p;
}

// Kept as one function so that a sample's time is the same sum on every path.
double SampleTimeStamp(double baseTime, double timeSec);

}  // namespace kelvane
