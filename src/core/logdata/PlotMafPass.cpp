#include "core/logdata/PlotMafPass.h"

#include <array>

#include "core/maps/EngineSetup.h"

namespace kelvane {

namespace {

constexpr std::array<double, 16> StandardLoadPoints{92,  100, 108, 116, 128, 140, 156,  188,
                                                    220, 284, 348, 476, 604, 948, 1460, 1972};
constexpr std::array<double, 16> MapSystemLoadPoints{22, 24, 28,  31,  35,  40,  47,  57,
                                                     67, 85, 100, 127, 148, 188, 222, 243};

}  // namespace

double MapSystemPlotMaf(double mafSignal) {
    std::size_t k = 15;
    for (std::size_t i = 1; i <= 15; ++i) {
        if (mafSignal < StandardLoadPoints[i]) {
            k = i;
            break;
        }
    }
    const double in0 = StandardLoadPoints[k - 1], in1 = StandardLoadPoints[k];
    const double out0 = MapSystemLoadPoints[k - 1], out1 = MapSystemLoadPoints[k];
    return out0 + (out1 - out0) * (mafSignal - in0) / (in1 - in0);
}

void PlotMafPass(TLogData& data, TLHConfig lhConfig) {
    for (auto& e : data.Entries) e.PlotMaf = PlotMafOf(e.MafSignal, lhConfig);
}

}  // namespace kelvane
