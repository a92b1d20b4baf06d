#pragma once

#include <cstdint>
#include <vector>

#include "core/logdata/KelvaneDefs.h"
#include "core/plot/DisplayOptions.h"

namespace kelvane {

// Samples farther than this from the mouse are never the hover sample.
inline constexpr double NearestSampleReach = 200;

// The included sample nearest to (rpm, load) on the grid of the view:
// distance |Rpm - rpm| + 10 * |sample load - load|, the sample load being
// PlotMaf on the fuel map and Load on the ignition map. The first sample with
// the smallest distance below NearestSampleReach wins; -1 when none. Samples
// without engine speed or load are never picked. One pass over the list.
int NearestSample(const TLogData& logData, TPlotView view, double rpm, double load);

// The same answers as NearestSample without a pass over the list: the included
// samples of one view, taken once, in buckets of engine speed and load, so a
// query looks only at the buckets the reach can touch, nearest first. Build it
// again whenever the samples, their Included flags or the view change.
class TNearestSampleIndex {
  public:
    void Build(const TLogData& logData, TPlotView view);
    int Find(double rpm, double load) const;
    bool Built() const { return FBuilt; }
    void Reset();

  private:
    // Equal-width buckets along one axis between Low and Low + Count * Width;
    // the first and the last bucket also hold everything beyond.
    struct TAxisBuckets {
        double Low = 0;
        double Width = 1;
        int Count = 1;
        double Slack = 0;  // widens each bucket for the rounding of BucketOf

        int BucketOf(double value) const;
        // A distance along the axis from value to any value in the bucket
        // can be no smaller than this.
        double GapTo(int bucket, double value) const;
    };

    bool FBuilt = false;
    TAxisBuckets FRpm, FLoad;
    // Bucket b (rpm bucket * FLoad.Count + load bucket) holds the samples
    // FStart[b] .. FStart[b + 1] - 1 of the flat arrays below.
    std::vector<std::uint32_t> FStart;
    std::vector<double> FSampleRpm;
    std::vector<double> FSampleLoad;
    std::vector<std::int32_t> FSampleIndex;
};

}  // namespace kelvane
