#include "core/ground/DebugLog.h"

#include <ctime>
#include <fstream>
#include <system_error>
#include <vector>

#include "core/ground/Platform.h"

namespace kelvane {

namespace {

void AppendTwoDigits(std::string& text, int value) {
    text += static_cast<char>('0' + value / 10 % 10);
    text += static_cast<char>('0' + value % 10);
}

std::string NowPrefix(TLogTimePrecision precision) {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const std::tm local = platform::LocalTime(seconds).value_or(std::tm{});
    const auto sinceEpoch = now.time_since_epoch();
    const int millisecond =
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                             sinceEpoch - std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch))
                             .count());
    return DebugLogPrefix(local.tm_hour, local.tm_min, local.tm_sec, millisecond, precision);
}

}  // namespace

std::filesystem::path DebugLogPath() {
    return platform::DebugLogFolder() / DebugLogFileName;
}

std::string DebugLogPrefix(int hour, int minute, int second, int millisecond, TLogTimePrecision precision) {
    std::string text;
    AppendTwoDigits(text, hour);
    text += ':';
    AppendTwoDigits(text, minute);
    text += ':';
    AppendTwoDigits(text, second);
    if (precision == TLogTimePrecision::Milliseconds) {
        text += '.';
        text += ZeroPad(millisecond, 3);
    }
    text += ' ';
    return text;
}

bool TDebugLog::Open(const std::filesystem::path& fileName) {
    std::error_code error;
    if (fileName.empty() || !std::filesystem::is_regular_file(fileName, error)) return false;
    const auto size = std::filesystem::file_size(fileName, error);
    if (!error && size > TrimAboveBytes) {
        std::vector<std::string> lines;
        if (ReadFileLines(fileName, lines) && lines.size() > KeepLines) {
            lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(KeepLines));
            // A log that cannot be written back is an unwritable log: logging stays off.
            if (!WriteFileLines(fileName, lines)) return false;
        }
    }
    FFileName = fileName;
    FLevel = ActiveLevel;
    FOwner = std::this_thread::get_id();
    return true;
}

void TDebugLog::LogLine(std::string_view text, int level) {
    if (level > FLevel) return;
    const TLogTimePrecision precision =
        FLevel > 1 ? TLogTimePrecision::Milliseconds : TLogTimePrecision::Seconds;
    FQueue.Add(NowPrefix(precision) + std::string(text));
}

bool TDebugLog::FlushLog() {
    if (!Active() || std::this_thread::get_id() != FOwner) return false;
    const auto started = std::chrono::steady_clock::now();
    std::ofstream file;
    while (FQueue.Count() > 0) {
        if (std::chrono::steady_clock::now() - started > FlushTimeLimit) return false;
        const std::optional<std::string> line = FQueue.Get(0);
        if (!line) break;
        if (!file.is_open()) {
            file.open(FFileName, std::ios::binary | std::ios::app);
            if (!file) return false;
        }
        file << *line << "\r\n";
        file.flush();
        if (!file) return false;
        FQueue.Delete(0);
    }
    return true;
}

}  // namespace kelvane
