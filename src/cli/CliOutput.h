#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "core/maps/MapGrid.h"

namespace kelvane::cli {

// Text written to a stream through one large buffer: a million-sample log is
// printed in big chunks, with numbers formatted straight into the buffer.
class TOutput {
  public:
    explicit TOutput(std::FILE* stream, std::size_t chunkSize = 1 << 20);
    TOutput(const TOutput&) = delete;
    TOutput& operator=(const TOutput&) = delete;
    ~TOutput();

    TOutput& Text(std::string_view text);
    TOutput& Char(char c);
    // The shortest text that reads back to the same double; MissingValue as nothing.
    TOutput& Number(double value);
    TOutput& Integer(std::int64_t value);
    TOutput& Flag(bool value) { return Char(value ? '1' : '0'); }
    TOutput& Tab() { return Char('\t'); }
    TOutput& Line() { return Char('\n'); }

    // "# <name>", the 16 load rows (RPM index 0 first in each) with CR LF line
    // ends as in a map text file, then an empty line.
    void GridBlock(std::string_view name, const TMapGrid& grid);
    // A block of one row of 16 values (a WOT curve), CR LF ended.
    void RowBlock(std::string_view name, const TMapAxis& values);
    // 16 values separated by tabs, no line end.
    void Values(const TMapAxis& values);

    // Writes out what is buffered; false once any write has failed.
    bool Flush();

  private:
    void Reserve(std::size_t bytes) {
        if (FBuffer.size() + bytes > FChunkSize) Flush();
    }

    std::FILE* FStream;
    std::size_t FChunkSize;
    std::string FBuffer;
    bool FFailed = false;
};

}  // namespace kelvane::cli
