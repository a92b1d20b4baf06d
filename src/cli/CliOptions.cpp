#include "cli/CliOptions.h"

#include <charconv>

#include "core/maps/EngineSetupText.h"

namespace kelvane::cli {

const char* const UsageText =
    "Usage:\n"
    "  kelvane-cli log [--summary] [options] FILE... [--then FILE...]...\n"
    "                                                  the samples as read (or a summary)\n"
    "  kelvane-cli cells [options] FILE... [--then FILE...]...\n"
    "                                                  per-cell statistics of the view's grid\n"
    "  kelvane-cli bin FILE.bin                        what the program sees in a bin image\n"
    "  kelvane-cli map FILE.txt                        a map text file as read\n"
    "  kelvane-cli --help\n"
    "\n"
    "Log options:\n"
    "  --lh 2.3|2.2              LH version (default 2.3)\n"
    "  --config MAF|HMAF|TPS|MAP LH configuration (default MAF)\n"
    "  --ezk S4|GT               EZK configuration (default S4)\n"
    "  --smoothing N             AFR smoothing 1..6 (default 3)\n"
    "  --no-filters              include every sample\n"
    "  --no-afr                  switch \"Plot AFR\" off\n"
    "  --no-o2                   switch \"Plot O2Adj\" off\n"
    "  --view LH|EZK             the grid the samples are placed on (default LH)\n"
    "\n"
    "The files before the first --then are opened together, as the program opens the\n"
    "files of its command line; each --then opens the files after it as \"Open Log File\n"
    "(add to Plot)\" does, so an open file given again is read again.\n";

namespace {

struct TParser {
    const std::vector<std::string>& Arguments;
    std::size_t Next = 0;
    TParseResult Result;

    bool Fail(std::string message) {
        Result.Ok = false;
        Result.Error = std::move(message);
        return false;
    }

    bool TakeValue(const std::string& option, std::string& value) {
        if (Next >= Arguments.size()) return Fail(option + " needs a value");
        value = Arguments[Next++];
        return true;
    }

    bool LogOption(const std::string& option) {
        TCliOptions& o = Result.Options;
        std::string value;
        if (option == "--no-filters") {
            o.FiltersEnabled = false;
        } else if (option == "--no-afr") {
            o.PlotAfr = false;
        } else if (option == "--no-o2") {
            o.PlotO2Adj = false;
        } else if (option == "--lh") {
            if (!TakeValue(option, value)) return false;
            if (value == "2.3")
                o.Setup.LHVersion = TLHVersion::LH23;
            else if (value == "2.2")
                o.Setup.LHVersion = TLHVersion::LH22;
            else
                return Fail("--lh takes 2.3 or 2.2, not " + value);
        } else if (option == "--config") {
            if (!TakeValue(option, value)) return false;
            o.Setup.LHConfig = LHConfigFromText(value);
            if (o.Setup.LHConfig == TLHConfig::Unset)
                return Fail("--config takes MAF, HMAF, TPS or MAP, not " + value);
        } else if (option == "--ezk") {
            if (!TakeValue(option, value)) return false;
            o.Setup.EZKVersion = EZKVersionFromText(value);
            if (o.Setup.EZKVersion == TEZKVersion::Unset) return Fail("--ezk takes S4 or GT, not " + value);
        } else if (option == "--smoothing") {
            if (!TakeValue(option, value)) return false;
            int n = 0;
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), n);
            if (error != std::errc() || end != value.data() + value.size() || n < 1 || n > 6)
                return Fail("--smoothing takes a whole number from 1 to 6, not " + value);
            o.AfrSmoothing = n;
        } else if (option == "--view") {
            if (!TakeValue(option, value)) return false;
            if (value == "LH")
                o.EzkView = false;
            else if (value == "EZK")
                o.EzkView = true;
            else
                return Fail("--view takes LH or EZK, not " + value);
        } else {
            return Fail("unknown option " + option);
        }
        return true;
    }

    bool Parse() {
        if (Arguments.empty()) return Fail("no command given");
        const std::string& command = Arguments[Next++];
        TCliOptions& o = Result.Options;
        if (command == "--help" || command == "-h" || command == "help") {
            o.Command = TCommand::Help;
            Result.Ok = true;
            return true;
        }
        if (command == "log")
            o.Command = TCommand::Log;
        else if (command == "cells")
            o.Command = TCommand::Cells;
        else if (command == "bin")
            o.Command = TCommand::Bin;
        else if (command == "map")
            o.Command = TCommand::Map;
        else
            return Fail("unknown command " + command);

        const bool takesLogOptions = o.Command == TCommand::Log || o.Command == TCommand::Cells;
        bool onlyFilesFollow = false;
        while (Next < Arguments.size()) {
            const std::string& argument = Arguments[Next++];
            if (onlyFilesFollow || argument.size() < 2 || argument.compare(0, 2, "--") != 0) {
                (o.LaterOpens.empty() ? o.Files : o.LaterOpens.back()).push_back(argument);
            } else if (argument == "--then" && takesLogOptions) {
                if (o.Files.empty() || (!o.LaterOpens.empty() && o.LaterOpens.back().empty()))
                    return Fail("--then follows the files of an open");
                o.LaterOpens.emplace_back();
            } else if (argument == "--") {
                onlyFilesFollow = true;
            } else if (argument == "--help") {
                o.Command = TCommand::Help;
                Result.Ok = true;
                return true;
            } else if (argument == "--summary" && o.Command == TCommand::Log) {
                o.Summary = true;
            } else if (!takesLogOptions) {
                return Fail("unknown option " + argument);
            } else if (!LogOption(argument)) {
                return false;
            }
        }
        if (o.Files.empty()) return Fail("no file given");
        if (!o.LaterOpens.empty() && o.LaterOpens.back().empty()) return Fail("no file after --then");
        if ((o.Command == TCommand::Bin || o.Command == TCommand::Map) && o.Files.size() != 1)
            return Fail("give exactly one file");
        Result.Ok = true;
        return true;
    }
};

}  // namespace

TParseResult ParseArguments(const std::vector<std::string>& arguments) {
    TParser parser{arguments, 0, {}};
    parser.Parse();
    return parser.Result;
}

}  // namespace kelvane::cli
