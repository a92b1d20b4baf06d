#include <bit>

#include "FuzzSupport.h"
#include "core/ground/AtomicFile.h"
#include "core/logdata/LogCaption.h"
#include "core/logdata/LogFileReader.h"
#include "core/plot/LogExport.h"
#include "core/state/KelvaneState.h"

namespace kelvane::fuzz {

namespace {

bool SameDouble(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool SameSample(const TLogDataEntry& a, const TLogDataEntry& b) {
    bool same = a.ThrottleSwitch == b.ThrottleSwitch && a.KnockCount == b.KnockCount &&
                a.Flappy == b.Flappy && a.O2Active == b.O2Active && a.AfrPresent == b.AfrPresent &&
                a.FirstOfFile == b.FirstOfFile && a.RawOffset == b.RawOffset && a.RawLength == b.RawLength &&
                a.File == b.File;
    for (const auto field :
         {&TLogDataEntry::TimeSec, &TLogDataEntry::Rpm, &TLogDataEntry::PlotMaf, &TLogDataEntry::SmoothedAfr,
          &TLogDataEntry::O2Adjust, &TLogDataEntry::Load, &TLogDataEntry::Afr, &TLogDataEntry::MafSignal,
          &TLogDataEntry::MapPressure, &TLogDataEntry::CoolantTemp, &TLogDataEntry::TimeStamp})
        same = same && SameDouble(a.*field, b.*field);
    for (std::size_t i = 0; i < a.KnockRetard.size(); ++i)
        same = same && SameDouble(a.KnockRetard[i], b.KnockRetard[i]);
    return same;
}

bool SameLogs(const TLogState& a, const TLogState& b) {
    if (a.Data.Count() != b.Data.Count() || a.ColumnPresent != b.ColumnPresent ||
        a.OpenFiles.Count() != b.OpenFiles.Count())
        return false;
    for (std::size_t i = 0; i < a.Data.Count(); ++i)
        if (!SameSample(a.Data[i], b.Data[i])) return false;
    return true;
}

bool SameResult(const TLoadLogResult& a, const TLoadLogResult& b) {
    return a.Loaded == b.Loaded && a.HeaderRejected == b.HeaderRejected && a.NoData == b.NoData &&
           a.Unreadable == b.Unreadable && a.Message == b.Message && a.SamplesAdded == b.SamplesAdded &&
           a.Lines.Read == b.Lines.Read && a.Lines.OutOfRange == b.Lines.OutOfRange &&
           a.Lines.Unreadable == b.Lines.Unreadable;
}

}  // namespace

int FuzzLogReader(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path path = WriteScratchFile("Run1.txt", AsText(data, size));

    // The plain load, and the load that parses aside for a progress dialog,
    // must read the same samples.
    TLoadLogOptions plain;
    plain.LHConfig = TLHConfig::Map;  // the PlotMaf pass that carries MAF onto the MAP axis
    plain.Threads = 1;
    TKelvaneState state;
    TLogState& inPlace = state.Logs;
    const TLoadLogResult first = LoadLogFile(inPlace, path, plain);
    Check(first.Loaded || inPlace.Data.Empty(), "a file that is not loaded adds no sample");
    Check(first.SamplesAdded == inPlace.Data.Count(), "the count of samples added is the count in the list");
    Check(first.Lines.Skipped() <= first.Lines.Read, "no more lines skipped than read");

    TLoadLogOptions withProgress = plain;
    std::uint64_t lastDone = 0;
    withProgress.ProgressStep = 64;
    withProgress.Progress = [&lastDone](std::uint64_t done, std::uint64_t total) {
        Check(done >= lastDone && done <= total, "progress moves forward and stays within the file");
        lastDone = done;
        return true;
    };
    TLogState aside;
    const TLoadLogResult second = LoadLogFile(aside, path, withProgress);
    Check(SameResult(first, second), "both load paths give the same result");
    Check(SameLogs(inPlace, aside), "both load paths read the same samples");

    // Small pieces on several threads read what one pass reads, wherever the pieces start.
    for (const std::uint64_t step : {1, 5, 64}) {
        TLoadLogOptions pieces = plain;
        pieces.Threads = 3;
        pieces.ProgressStep = step;
        TLogState split;
        Check(SameResult(first, LoadLogFile(split, path, pieces)), "pieces on threads give the same result");
        Check(SameLogs(inPlace, split), "pieces on threads read the same samples");
    }

    // Read again: the file's samples are replaced, not doubled.
    const TLoadLogResult again = LoadLogFile(inPlace, path, plain);
    Check(SameResult(first, again) && SameLogs(inPlace, aside), "a file read again replaces its samples");

    // A cancelled load leaves everything as it was.
    TLoadLogOptions cancelled = plain;
    cancelled.ProgressStep = 1;
    cancelled.Progress = [](std::uint64_t, std::uint64_t) { return false; };
    const TLoadLogResult stopped = LoadLogFile(aside, path, cancelled);
    if (stopped.Cancelled) Check(SameLogs(inPlace, aside), "a cancelled load changes nothing");

    (void)CaptionText(inPlace.OpenFiles, "Session");
    (void)SkippedLinesMessage(path, first);
    (void)NotLoadedMessage(path, first);

    // Exported lines are read back from the unchanged file as they were, and written as read.
    const TLogLines lines = CollectLogLines(inPlace.Data, state.Selection, state.PlotContext());
    Check(lines.size() == (inPlace.Data.Empty() ? 0 : inPlace.Data.Count() + 1),
          "an export holds the header and every sample");
    std::string text, error;
    Check(ReadLogLines(inPlace.Data, lines, text, error), "the lines of an unchanged file can be read back");
    std::string file;
    Check(ReadWholeFile(path, file), "the log can be read");
    // The first exported line decides the separator when the export is read: where
    // that is not the file's (its first data line gave no sample), every line has
    // its "," and "." swapped.
    bool swapped = false;
    if (lines.size() > 1) {
        const std::string firstLine = file.substr(lines[1].Offset, lines[1].Length);
        const char inForce = firstLine.find(',') != std::string::npos ? ',' : '.';
        swapped = firstLine.find_first_not_of(" \t") != std::string::npos &&
                  inForce != inPlace.Data.Files[0].Separator;
    }
    std::string expected;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) expected += "\r\n";
        std::string line = lines[i].Header ? inPlace.Data.Files[lines[i].File].Header
                                           : file.substr(lines[i].Offset, lines[i].Length);
        if (swapped && !lines[i].Header)
            for (char& c : line) c = c == ',' ? '.' : c == '.' ? ',' : c;
        expected += line;
    }
    Check(text == expected, "each exported line is the file's bytes at its place");
    const std::filesystem::path exported = ScratchFolder() / "Exported.txt";
    Check(WriteLogLines(exported, inPlace.Data, lines, error), "the export can be written");
    std::string written;
    Check(ReadWholeFile(exported, written), "the export can be read");
    Check(written == (lines.empty() ? std::string() : text + "\r\n"),
          "the export holds the lines, each ending in CR LF");
    // Read back, the export gives the samples it was made of, value for value.
    TLogState back;
    const TLoadLogResult reread = LoadLogFile(back, exported, plain);
    if (first.Loaded && !inPlace.Data.Empty()) {
        bool same = reread.Loaded && back.Data.Count() == inPlace.Data.Count();
        for (std::size_t i = 0; same && i < back.Data.Count(); ++i)
            for (const auto field :
                 {&TLogDataEntry::TimeSec, &TLogDataEntry::Rpm, &TLogDataEntry::Afr,
                  &TLogDataEntry::MafSignal, &TLogDataEntry::MapPressure, &TLogDataEntry::Load})
                same = same && SameDouble(back.Data[i].*field, inPlace.Data[i].*field);
        Check(same, "an export reads back with the values its samples had");
    }

    Check(RemoveLogFile(inPlace, path.string()) == first.Loaded, "a loaded file can be removed");
    Check(inPlace.Data.Empty() && inPlace.OpenFiles.Count() == 0, "removing the only file empties the plot");
    return 0;
}

}  // namespace kelvane::fuzz
