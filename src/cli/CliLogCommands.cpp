#include <memory>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "cli/CliLoading.h"
#include "cli/CliOutput.h"
#include "core/logdata/LogCaption.h"
#include "core/plot/CellStatistics.h"
#include "core/plot/MeanAfrGrid.h"
#include "core/plot/PlottedAfr.h"
#include "core/state/KelvaneState.h"

namespace kelvane::cli {

namespace {

constexpr const char* LogHeader =
    "Index\tFile\tRpm\tMafSignal\tPlotMaf\tMafPercent\tMafVoltage\tMapPressure\tO2Adjust\tO2Active\t"
    "SmoothedAfr\tAfrPresent\tAfr\tThrottleSwitch\tInjPulseWidth\tInjDutyCycle\tFlappy\tCoolantTemp\t"
    "AirTemp\tBaroPressure\tLoad\tIgnAdvance\tKnockCount\tKR1\tKR2\tKR3\tKR4\tKR5\tKR6\tKR7\tKR8\t"
    "TimeSec\tTimeStamp\tFirstOfFile\tIncluded\tPlottedAfr\n";

void PrintSamples(TOutput& out, const TKelvaneState& state) {
    const TLogData& data = state.Logs.Data;
    // The File column is the sample's place in the open-files list.
    std::vector<std::int64_t> openIndex(data.Files.size());
    for (std::size_t f = 0; f < data.Files.size(); ++f)
        openIndex[f] = state.Logs.OpenFiles.IndexOf(data.Files[f].FileName);

    const TPlotContext context = state.PlotContext();
    out.Text(LogHeader);
    for (std::size_t i = 0; i < data.Count(); ++i) {
        const TLogDataEntry& e = data[i];
        out.Integer(static_cast<std::int64_t>(i)).Tab();
        out.Integer(openIndex[e.File]).Tab();
        out.Number(e.Rpm).Tab().Number(e.MafSignal).Tab().Number(e.PlotMaf).Tab();
        out.Number(e.MafPercent).Tab().Number(e.MafVoltage).Tab().Number(e.MapPressure).Tab();
        out.Number(e.O2Adjust).Tab().Flag(e.O2Active).Tab();
        out.Number(e.SmoothedAfr).Tab().Flag(e.AfrPresent).Tab().Number(e.Afr).Tab();
        out.Integer(e.ThrottleSwitch).Tab().Number(e.InjPulseWidth).Tab().Number(e.InjDutyCycle).Tab();
        out.Integer(e.Flappy).Tab().Number(e.CoolantTemp).Tab().Number(e.AirTemp).Tab();
        out.Number(e.BaroPressure).Tab().Number(e.Load).Tab().Number(e.IgnAdvance).Tab();
        out.Integer(e.KnockCount).Tab();
        for (const double retard : e.KnockRetard) out.Number(retard).Tab();
        out.Number(e.TimeSec).Tab().Number(e.TimeStamp).Tab();
        out.Flag(e.FirstOfFile).Tab().Flag(e.Included).Tab();
        out.Number(PlottedAfr(e, context)).Line();
    }
}

void PrintSummary(TOutput& out, const TKelvaneState& state) {
    const TLogState& logs = state.Logs;
    std::size_t included = 0;
    for (const TLogDataEntry& e : logs.Data.Entries) included += e.Included ? 1 : 0;
    out.Text("files: ").Integer(static_cast<std::int64_t>(logs.OpenFiles.Count())).Line();
    out.Text("samples: ").Integer(static_cast<std::int64_t>(logs.Data.Count())).Line();
    out.Text("included: ").Integer(static_cast<std::int64_t>(included)).Line();
    out.Text("columns: ");
    bool first = true;
    for (int c = 0; c < ColumnCount; ++c) {
        if (!logs.ColumnPresent[static_cast<std::size_t>(c)]) continue;
        if (!first) out.Char(',');
        out.Integer(c);
        first = false;
    }
    out.Line();
    out.Text("caption: ").Text(CaptionText(logs.OpenFiles, "")).Line();
    out.Text("status: ").Text(StatusText(logs.OpenFiles.Count(), logs.Data.Count())).Line();
}

}  // namespace

int RunLog(const TCliOptions& options) {
    auto state = std::make_unique<TKelvaneState>();
    const bool allRead = LoadLogs(*state, options);
    TOutput out(stdout);
    if (options.Summary) {
        PrintSummary(out, *state);
    } else {
        PrintSamples(out, *state);
    }
    const bool written = out.Flush();
    return allRead && written ? 0 : 1;
}

int RunCells(const TCliOptions& options) {
    auto state = std::make_unique<TKelvaneState>();
    const bool allRead = LoadLogs(*state, options);
    const TLogData& data = state->Logs.Data;
    const TPlotContext context = state->PlotContext();

    // Every cell's statistics in one pass, each as a one-cell selection shows them.
    const TCellStatisticsGrid cells = AllCellStatistics(data, context);
    TMapGrid count, mean, sdev, knockCylinders, knockRetard;
    for (int rpm = 0; rpm < MapSize; ++rpm)
        for (int load = 0; load < MapSize; ++load) {
            const TCellStatistics& s = cells[static_cast<std::size_t>(rpm * MapSize + load)];
            count.At(rpm, load) = s.Count;
            mean.At(rpm, load) = s.Count > 0 ? s.Mean : MissingValue;
            sdev.At(rpm, load) = s.Count > 0 ? s.SDev : MissingValue;
            knockCylinders.At(rpm, load) = s.MaxKnockCylinders;
            knockRetard.At(rpm, load) = s.MaxKnockRetard;
        }

    TOutput out(stdout);
    out.GridBlock("count", count);
    out.GridBlock("mean", mean);
    out.GridBlock("sdev", sdev);
    if (options.EzkView) {
        out.GridBlock("knock cylinders", knockCylinders);
        out.GridBlock("knock retard", knockRetard);
    } else {
        out.GridBlock("mean afr grid", ComputeMeanAfrGrid(data, context));
    }
    const bool written = out.Flush();
    return allRead && written ? 0 : 1;
}

}  // namespace kelvane::cli
