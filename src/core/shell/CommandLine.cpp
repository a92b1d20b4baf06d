#include "core/shell/CommandLine.h"

#include <algorithm>
#include <cctype>

#include "core/ground/ProgramVersion.h"

namespace kelvane {

namespace {

bool IsTextSwitch(const std::string& argument) {
    constexpr std::string_view text = "text";
    return argument.size() == text.size() &&
           std::equal(argument.begin(), argument.end(), text.begin(),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

// Help, version and refusals carry nothing else.
TCommandLine Answered(TCommandAction action, std::string error = {}) {
    TCommandLine line;
    line.Action = action;
    line.Error = std::move(error);
    return line;
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    TCommandLine line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help") return Answered(TCommandAction::Help);
        if (argument == "--version") return Answered(TCommandAction::Version);
        if (argument == "--screenshot") {
            if (i + 1 >= arguments.size())
                return Answered(TCommandAction::UsageError, "--screenshot needs a file name");
            line.ScreenshotPath = arguments[++i];
            continue;
        }
        if (argument == "--window") {
            if (i + 1 >= arguments.size())
                return Answered(TCommandAction::UsageError, "--window needs a name");
            line.ScreenshotWindow = arguments[++i];
            const std::vector<std::string>& windows = ScreenshotWindows();
            if (std::find(windows.begin(), windows.end(), line.ScreenshotWindow) == windows.end())
                return Answered(TCommandAction::UsageError, "Unknown window " + line.ScreenshotWindow);
            continue;
        }
        if (argument.starts_with("--"))
            return Answered(TCommandAction::UsageError, "Unknown option " + argument);
        line.ProgramArguments.push_back(argument);
        if (!IsTextSwitch(argument) && !argument.starts_with('-')) line.LogFiles.push_back(argument);
    }
    if (!line.ScreenshotWindow.empty() && line.ScreenshotPath.empty())
        return Answered(TCommandAction::UsageError, "--window needs --screenshot");
    return line;
}

const std::vector<std::string>& ScreenshotWindows() {
    static const std::vector<std::string> windows = {
        "plot", "panels", "selection", "fuel-adjust", "fuel-map", "map-3d", "options", "colors", "project"};
    return windows;
}

std::string CommandLineUsage() {
    std::string windows;
    for (const std::string& window : ScreenshotWindows()) windows += (windows.empty() ? "" : ", ") + window;
    return "Usage: kelvane [--screenshot FILE.png [--window NAME]] [Text] [LOGFILE...]\n"
           "       kelvane --help | --version\n"
           "\n"
           "Opens the log files as a new plot (through the \"Log File Options\" window).\n"
           "When Kelvane is already running, the files are handed to it instead.\n"
           "\n"
           "  --screenshot FILE.png  open the log files with the preselected engine setup,\n"
           "                         save an image of the window and exit\n"
           "  --window NAME          with --screenshot: grab this window instead, set up\n"
           "                         to show its work: " +
           windows +
           "\n"
           "  Text                   show the \"VX Status\" menu item\n"
           "  --help                 print this text and exit\n"
           "  --version              print the version and exit\n";
}

std::string VersionLine() {
    return "Kelvane " + RawProgramVersion();
}

}  // namespace kelvane
