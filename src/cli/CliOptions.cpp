#include "cli/CliOptions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "core/ground/SettingsValues.h"
#include "core/maps/EngineSetupText.h"

namespace kelvane::cli {

const char* const UsageText =
    "Usage:\n"
    "  kelvane-cli log [--summary] [options] FILE... [--then FILE...]...\n"
    "                                                  the samples as read (or a summary)\n"
    "  kelvane-cli cells [options] FILE... [--then FILE...]...\n"
    "                                                  per-cell statistics of the view's grid\n"
    "  kelvane-cli adjust-fuel [options] --reference MAP.txt [fuel options] FILE...\n"
    "                                                  the fuel map adjusted once (and smoothed)\n"
    "  kelvane-cli adjust-ignition [options] --reference MAP.txt [ignition options] FILE...\n"
    "                                                  the ignition map's passes until done\n"
    "  kelvane-cli bin FILE.bin                        what the program sees in a bin image\n"
    "  kelvane-cli map FILE.txt                        a map text file as read\n"
    "  kelvane-cli simulate --fuel-map F.txt --ignition-map I.txt --out LOG.txt [options]\n"
    "                                                  a simulated car's drive as a log\n"
    "                                                  (simulate --help for its options)\n"
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
    "Adjustment options (adjust-fuel and adjust-ignition):\n"
    "  --reference MAP.txt       the reference map: LH map text for adjust-fuel, EZK\n"
    "                            map text for adjust-ignition (required)\n"
    "  --region R0,R1,C0,C1      RPM indexes R0..R1 and load indexes C0..C1, each 0..15\n"
    "                            (default the entire map)\n"
    "Fuel options:\n"
    "  --source 0|1|2|3          where the reference came from (default 0); 3 is the\n"
    "                            Primary Load Map\n"
    "  --target AFR              one target AFR for every sample (default 14.7)\n"
    "  --target-map FILE         the target AFR map file instead\n"
    "  --smooth VERT,HORIZ       then one smoothing pass with these widths in cells\n"
    "                            along load and RPM, each 1..10\n"
    "Ignition options:\n"
    "  --max-cyls N              knocking cylinders a cell may keep, 0..8 (default 3)\n"
    "  --max-retard D            knock retard a cell may keep, 0..9.1 degrees (default 1)\n"
    "  --include-adjustments     the knock event test adds the adjustments, as with\n"
    "                            \"Include Adjustments\" on\n"
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

    // "a,b,..." of exactly count numbers.
    bool NumberList(const std::string& option, const std::string& text, std::size_t count,
                    std::vector<double>& numbers) {
        numbers.clear();
        std::size_t start = 0;
        while (true) {
            const std::size_t comma = text.find(',', start);
            const std::string_view piece = std::string_view(text).substr(start, comma - start);
            const double value = ParseNumber(piece, TDecimalComma::Refused, std::nan(""));
            if (std::isnan(value))
                return Fail(option + " takes " + std::to_string(count) + " numbers, not " + text);
            numbers.push_back(value);
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        if (numbers.size() != count)
            return Fail(option + " takes " + std::to_string(count) + " numbers, not " + text);
        return true;
    }

    bool IsAdjustOption(const std::string& option) const {
        const TCommand command = Result.Options.Command;
        if (option == "--reference" || option == "--region") return true;
        if (command == TCommand::AdjustFuel)
            return option == "--source" || option == "--target" || option == "--target-map" ||
                   option == "--smooth";
        return option == "--max-cyls" || option == "--max-retard" || option == "--include-adjustments";
    }

    bool AdjustOption(const std::string& option) {
        TCliOptions& o = Result.Options;
        std::string value;
        std::vector<double> numbers;
        if (option == "--include-adjustments") {
            o.IncludeAdjustments = true;
            return true;
        }
        if (!TakeValue(option, value)) return false;
        if (option == "--reference") {
            o.Reference = value;
        } else if (option == "--region") {
            if (!NumberList(option, value, 4, numbers)) return false;
            const auto index = [](double v) { return v >= 0 && v < MapSize && v == std::floor(v); };
            if (!std::all_of(numbers.begin(), numbers.end(), index) || numbers[0] > numbers[1] ||
                numbers[2] > numbers[3])
                return Fail("--region takes R0,R1,C0,C1: indexes 0..15 with R0 <= R1 and C0 <= C1, not " +
                            value);
            o.Region = {static_cast<int>(numbers[0]), static_cast<int>(numbers[1]),
                        static_cast<int>(numbers[2]), static_cast<int>(numbers[3])};
        } else if (option == "--source") {
            if (value.size() != 1 || value[0] < '0' || value[0] > '3')
                return Fail("--source takes 0, 1, 2 or 3, not " + value);
            o.Source = LHMapSourceFromCode(value[0] - '0');
        } else if (option == "--target") {
            const double afr = ParseNumber(value, TDecimalComma::Accepted, std::nan(""));
            if (std::isnan(afr)) return Fail("--target takes a number, not " + value);
            o.TargetAfr = afr;
        } else if (option == "--target-map") {
            o.TargetMap = value;
        } else if (option == "--smooth") {
            if (!NumberList(option, value, 2, numbers)) return false;
            const auto width = [](double v) { return v >= 1 && v <= 10; };
            if (!width(numbers[0]) || !width(numbers[1]))
                return Fail("--smooth takes two widths from 1 to 10, not " + value);
            o.Smooth = TCliOptions::TWidths{numbers[0], numbers[1]};
        } else if (option == "--max-cyls") {
            o.MaxCylinders = value;
        } else if (option == "--max-retard") {
            o.MaxRetard = value;
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
        else if (command == "adjust-fuel")
            o.Command = TCommand::AdjustFuel;
        else if (command == "adjust-ignition")
            o.Command = TCommand::AdjustIgnition;
        else
            return Fail("unknown command " + command);

        const bool adjusts = o.Command == TCommand::AdjustFuel || o.Command == TCommand::AdjustIgnition;
        const bool takesLogOptions = o.Command == TCommand::Log || o.Command == TCommand::Cells || adjusts;
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
            } else if (adjusts && IsAdjustOption(argument)) {
                if (!AdjustOption(argument)) return false;
            } else if (!LogOption(argument)) {
                return false;
            }
        }
        if (adjusts && o.Reference.empty()) return Fail("--reference MAP.txt is needed");
        if (o.TargetAfr && !o.TargetMap.empty()) return Fail("give --target or --target-map, not both");
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
