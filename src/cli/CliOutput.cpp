#include "cli/CliOutput.h"

#include <charconv>

#include "core/logdata/KelvaneDefs.h"

namespace kelvane::cli {

TOutput::TOutput(std::FILE* stream, std::size_t chunkSize) : FStream(stream), FChunkSize(chunkSize) {
    FBuffer.reserve(chunkSize + 64);
}

TOutput::~TOutput() {
    Flush();
}

TOutput& TOutput::Text(std::string_view text) {
    Reserve(text.size());
    FBuffer.append(text);
    return *this;
}

TOutput& TOutput::Char(char c) {
    Reserve(1);
    FBuffer.push_back(c);
    return *this;
}

TOutput& TOutput::Number(double value) {
    if (value == MissingValue) return *this;
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return Text(std::string_view(text, static_cast<std::size_t>(result.ptr - text)));
}

TOutput& TOutput::Integer(std::int64_t value) {
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return Text(std::string_view(text, static_cast<std::size_t>(result.ptr - text)));
}

void TOutput::Values(const TMapAxis& values) {
    for (int i = 0; i < MapSize; ++i) {
        if (i > 0) Tab();
        Number(values[static_cast<std::size_t>(i)]);
    }
}

void TOutput::GridBlock(std::string_view name, const TMapGrid& grid) {
    Text("# ").Text(name).Line();
    for (int load = 0; load < MapSize; ++load) {
        for (int rpm = 0; rpm < MapSize; ++rpm) {
            if (rpm > 0) Tab();
            Number(grid.At(rpm, load));
        }
        Text("\r\n");
    }
    Line();
}

void TOutput::RowBlock(std::string_view name, const TMapAxis& values) {
    Text("# ").Text(name).Line();
    Values(values);
    Text("\r\n");
    Line();
}

bool TOutput::Flush() {
    if (!FBuffer.empty() && !FFailed) {
        FFailed = std::fwrite(FBuffer.data(), 1, FBuffer.size(), FStream) != FBuffer.size();
    }
    FBuffer.clear();
    if (!FFailed && std::fflush(FStream) != 0) FFailed = true;
    return !FFailed;
}

}  // namespace kelvane::cli
