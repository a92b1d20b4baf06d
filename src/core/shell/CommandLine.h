#pragma once

#include <string>
#include <vector>

namespace kelvane {

// What the program is asked to do by its command line.
enum class TCommandAction { Run, Help, Version, UsageError };

struct TCommandLine {
    TCommandAction Action = TCommandAction::Run;
    // "--screenshot FILE.png": grab the window once it is shown (and the logs
    // plotted) and quit.
    std::string ScreenshotPath;
    // "--window NAME" with a screenshot: the window (and the scene in it) to
    // grab instead of the main window; one of ScreenshotWindows().
    std::string ScreenshotWindow;
    // Arguments that name log files, in their order.
    std::vector<std::string> LogFiles;
    // The arguments the window keeps (all but "--screenshot" and its file).
    std::vector<std::string> ProgramArguments;
    // Why the line was refused, for a usage error.
    std::string Error;
};

// Reads the arguments (the program's own name left out). The first of
// "--help", "--version" or an unknown "--" option decides; "Text" (any case)
// and arguments starting with a single "-" (the toolkit's own) name no log.
TCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The windows "--window" can grab, each set up to show something.
const std::vector<std::string>& ScreenshotWindows();

// The usage, ending with a line end.
std::string CommandLineUsage();

// "Kelvane 1.0.0.1": the program name and the version the build states.
std::string VersionLine();

}  // namespace kelvane
