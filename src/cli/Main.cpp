#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "core/ground/Platform.h"

int main(int argc, char** argv) {
    using namespace kelvane::cli;
    // Output is compared byte for byte with other builds: no line-end translation.
    kelvane::platform::UseBinaryStandardStreams();
    const std::vector<std::string> arguments = kelvane::platform::ProgramArguments(argc, argv);
    if (!arguments.empty() && arguments[0] == "simulate")
        return RunSimulate(std::vector<std::string>(arguments.begin() + 1, arguments.end()));
    const TParseResult parsed = ParseArguments(arguments);
    if (!parsed.Ok) {
        std::fprintf(stderr, "kelvane-cli: %s\n\n%s", parsed.Error.c_str(), UsageText);
        return 2;
    }
    switch (parsed.Options.Command) {
        case TCommand::Help:
            std::fputs(UsageText, stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        case TCommand::Log:
            return RunLog(parsed.Options);
        case TCommand::Cells:
            return RunCells(parsed.Options);
        case TCommand::Bin:
            return RunBin(parsed.Options);
        case TCommand::Map:
            return RunMap(parsed.Options);
        case TCommand::AdjustFuel:
            return RunAdjustFuel(parsed.Options);
        case TCommand::AdjustIgnition:
            return RunAdjustIgnition(parsed.Options);
    }
    return 2;
}
