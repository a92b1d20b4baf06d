#pragma once

#include <string>
#include <vector>

#include "core/maps/EngineSetup.h"

namespace kelvane::cli {

enum class TCommand { Help, Log, Cells, Bin, Map };

struct TCliOptions {
    TCommand Command = TCommand::Help;
    bool Summary = false;
    TEngineSetup Setup{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::S4};
    int AfrSmoothing = 3;
    bool FiltersEnabled = true;
    bool PlotAfr = true;
    bool PlotO2Adj = true;
    bool EzkView = false;
    std::vector<std::string> Files;  // one open, as the program's command line
    // Each "--then FILE..." is a later "add to plot" open of its own.
    std::vector<std::vector<std::string>> LaterOpens;
};

struct TParseResult {
    bool Ok = false;
    std::string Error;  // what was wrong, for a usage error
    TCliOptions Options;
};

TParseResult ParseArguments(const std::vector<std::string>& arguments);

extern const char* const UsageText;

}  // namespace kelvane::cli
