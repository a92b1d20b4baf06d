#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/shell/CommandLine.h"

namespace kelvane {
namespace {

using TArguments = std::vector<std::string>;

TEST(CommandLineTest, ReadsActionScreenshotAndLogFiles) {
    struct TCase {
        TArguments Arguments;
        TCommandAction Action;
        std::string Screenshot;
        TArguments LogFiles;
        TArguments ProgramArguments;
    };
    const std::vector<TCase> cases = {
        {{}, TCommandAction::Run, "", {}, {}},
        {{"Run1.txt", "Run2.txt"},
         TCommandAction::Run,
         "",
         {"Run1.txt", "Run2.txt"},
         {"Run1.txt", "Run2.txt"}},
        // "Text" in any case is the status switch, never a log.
        {{"tEXT", "Run1.txt"}, TCommandAction::Run, "", {"Run1.txt"}, {"tEXT", "Run1.txt"}},
        {{"Texts.txt"}, TCommandAction::Run, "", {"Texts.txt"}, {"Texts.txt"}},
        // The screenshot's file is no log and is kept from the window's arguments.
        {{"--screenshot", "out.png", "Run1.txt"}, TCommandAction::Run, "out.png", {"Run1.txt"}, {"Run1.txt"}},
        {{"Run1.txt", "--screenshot", "out.png"}, TCommandAction::Run, "out.png", {"Run1.txt"}, {"Run1.txt"}},
        // A single dash belongs to the toolkit: neither a log nor an error.
        {{"-style", "Run1.txt"}, TCommandAction::Run, "", {"Run1.txt"}, {"-style", "Run1.txt"}},
        {{"--help"}, TCommandAction::Help, "", {}, {}},
        {{"Run1.txt", "--version", "--bogus"}, TCommandAction::Version, "", {}, {}},
        {{"--help", "--version"}, TCommandAction::Help, "", {}, {}},
        {{"--bogus", "--help"}, TCommandAction::UsageError, "", {}, {}},
        {{"-help"}, TCommandAction::Run, "", {}, {"-help"}},
        {{"--"}, TCommandAction::UsageError, "", {}, {}},
        {{"Run1.txt", "--screenshot"}, TCommandAction::UsageError, "", {}, {}},
        {{"--screenshot=out.png"}, TCommandAction::UsageError, "", {}, {}},
    };
    for (const TCase& c : cases) {
        std::string line;
        for (const std::string& argument : c.Arguments) line += argument + " ";
        SCOPED_TRACE(line);
        const TCommandLine parsed = ParseCommandLine(c.Arguments);
        EXPECT_EQ(parsed.Action, c.Action);
        EXPECT_EQ(parsed.ScreenshotPath, c.Screenshot);
        EXPECT_EQ(parsed.LogFiles, c.LogFiles);
        EXPECT_EQ(parsed.ProgramArguments, c.ProgramArguments);
        EXPECT_EQ(parsed.Error.empty(), c.Action != TCommandAction::UsageError);
    }
}

TEST(CommandLineTest, WindowNamesWhatTheScreenshotGrabs) {
    const TCommandLine line =
        ParseCommandLine({"--screenshot", "out.png", "--window", "fuel-map", "Run1.txt"});
    EXPECT_EQ(line.Action, TCommandAction::Run);
    EXPECT_EQ(line.ScreenshotWindow, "fuel-map");
    EXPECT_EQ(line.LogFiles, TArguments{"Run1.txt"});
    EXPECT_EQ(line.ProgramArguments, TArguments{"Run1.txt"});
    for (const char* window : {"options", "colors"})
        EXPECT_EQ(ParseCommandLine({"--screenshot", "out.png", "--window", window}).ScreenshotWindow, window);

    struct TCase {
        TArguments Arguments;
        std::string Error;
    };
    const std::vector<TCase> refused = {
        {{"--window", "plot", "Run1.txt"}, "--window needs --screenshot"},
        {{"--screenshot", "out.png", "--window", "bogus"}, "Unknown window bogus"},
        {{"--screenshot", "out.png", "--window"}, "--window needs a name"},
    };
    for (const TCase& c : refused) {
        const TCommandLine parsed = ParseCommandLine(c.Arguments);
        EXPECT_EQ(parsed.Action, TCommandAction::UsageError) << c.Error;
        EXPECT_EQ(parsed.Error, c.Error);
    }
    for (const std::string& window : ScreenshotWindows())
        EXPECT_NE(CommandLineUsage().find(window), std::string::npos) << window;
}

TEST(CommandLineTest, ErrorNamesTheRefusedOption) {
    EXPECT_EQ(ParseCommandLine({"Run1.txt", "--bogus"}).Error, "Unknown option --bogus");
    EXPECT_EQ(ParseCommandLine({"--screenshot"}).Error, "--screenshot needs a file name");
}

TEST(CommandLineTest, UsageNamesEveryOptionAndVersionLineTheBuild) {
    const std::string usage = CommandLineUsage();
    EXPECT_TRUE(usage.starts_with("Usage: kelvane "));
    EXPECT_TRUE(usage.ends_with("\n"));
    for (const char* option : {"--screenshot FILE.png", "--help", "--version", "Text"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    EXPECT_EQ(VersionLine(), "Kelvane " + std::to_string(KELVANE_VERSION_MAJOR) + "." +
                                 std::to_string(KELVANE_VERSION_MINOR) + "." +
                                 std::to_string(KELVANE_VERSION_PATCH) + "." +
                                 std::to_string(KELVANE_VERSION_TWEAK));
}

}  // namespace
}  // namespace kelvane
