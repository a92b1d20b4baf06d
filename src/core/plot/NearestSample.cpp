#include "core/plot/NearestSample.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <limits>

namespace kelvane {

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();

// Bucket sides over which the distance weighs engine speed and load alike.
constexpr double RpmBucketWidth = 25;
constexpr double LoadBucketWidth = RpmBucketWidth / 10;
constexpr int MaxBucketsPerAxis = 4096;
// At least this many buckets may be used, and up to two per sample.
constexpr std::size_t MinBucketBudget = MaxBucketsPerAxis;
// Enough samples to tell where the bulk of a wild log lies.
constexpr std::size_t ExtentProbeCount = 4096;

double SampleLoad(const TLogDataEntry& entry, TPlotView view) {
    return view == TPlotView::LH ? entry.PlotMaf : entry.Load;
}

bool Pickable(const TLogDataEntry& entry, double sampleLoad) {
    return entry.Included && entry.Rpm != MissingValue && sampleLoad != MissingValue;
}

// The one distance both searches use, so that they agree to the last bit.
double Distance(double sampleRpm, double sampleLoad, double rpm, double load) {
    return std::abs(sampleRpm - rpm) + 10 * std::abs(sampleLoad - load);
}

// Equal places hash alike (0 and -0 too). Logged values are round numbers
// whose low bits are all zero, so every bit is mixed into the low ones.
std::size_t PlaceHash(double rpm, double load) {
    const auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v == 0 ? 0.0 : v); };
    std::uint64_t h = bits(rpm) ^ std::rotl(bits(load), 31);
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return static_cast<std::size_t>(h);
}

struct TPoint {
    double Rpm;
    double Load;
    std::int32_t Index;
};

struct TRange {
    double Low = Infinity;
    double High = -Infinity;
    void Add(double value) {
        Low = std::min(Low, value);
        High = std::max(High, value);
    }
};

// The range the buckets cover along one axis: all values, unless a few wild
// ones would spread the buckets thin over nothing; then the bulk of a probe of
// the values, the rest going to the outer buckets.
TRange BucketRange(const std::vector<TPoint>& points, double TPoint::*field, const TRange& all,
                   double width) {
    if (all.High - all.Low <= width * MaxBucketsPerAxis) return all;
    const std::size_t step = std::max<std::size_t>(1, points.size() / ExtentProbeCount);
    std::vector<double> probe;
    for (std::size_t k = 0; k < points.size(); k += step) probe.push_back(points[k].*field);
    std::sort(probe.begin(), probe.end());
    const std::size_t tail = probe.size() / 1000;
    return {probe[tail], probe[probe.size() - 1 - tail]};
}

}  // namespace

int NearestSample(const TLogData& logData, TPlotView view, double rpm, double load) {
    double best = NearestSampleReach;
    int found = -1;
    for (std::size_t i = 0; i < logData.Count(); ++i) {
        const TLogDataEntry& entry = logData[i];
        const double sampleLoad = SampleLoad(entry, view);
        if (!Pickable(entry, sampleLoad)) continue;
        const double distance = Distance(entry.Rpm, sampleLoad, rpm, load);
        if (distance < best) {
            best = distance;
            found = static_cast<int>(i);
        }
    }
    return found;
}

int TNearestSampleIndex::TAxisBuckets::BucketOf(double value) const {
    const double t = (value - Low) / Width;
    if (!(t >= 1)) return 0;
    if (t >= Count - 1) return Count - 1;
    return static_cast<int>(t);
}

double TNearestSampleIndex::TAxisBuckets::GapTo(int bucket, double value) const {
    const double lower = bucket == 0 ? -Infinity : Low + bucket * Width - Slack;
    const double upper = bucket == Count - 1 ? Infinity : Low + (bucket + 1) * Width + Slack;
    // The same subtraction as the distance, with the bucket's edge for the
    // sample: rounding keeps the order, so this never exceeds a sample's.
    if (value < lower) return lower - value;
    if (value > upper) return value - upper;
    return 0;
}

void TNearestSampleIndex::Reset() {
    FBuilt = false;
    FRpm = {};
    FLoad = {};
    FStart.clear();
    FSampleRpm.clear();
    FSampleLoad.clear();
    FSampleIndex.clear();
}

void TNearestSampleIndex::Build(const TLogData& logData, TPlotView view) {
    Reset();
    std::vector<TPoint> points;
    points.reserve(logData.Count());
    TRange rpmRange, loadRange;
    for (std::size_t i = 0; i < logData.Count(); ++i) {
        const TLogDataEntry& entry = logData[i];
        const double sampleLoad = SampleLoad(entry, view);
        // A sample at an infinite or undefined place is never within reach.
        if (!Pickable(entry, sampleLoad) || !std::isfinite(entry.Rpm) || !std::isfinite(sampleLoad)) continue;
        // The one before at the very same place always wins over this one.
        if (!points.empty() && points.back().Rpm == entry.Rpm && points.back().Load == sampleLoad) continue;
        points.push_back({entry.Rpm, sampleLoad, static_cast<std::int32_t>(i)});
        rpmRange.Add(entry.Rpm);
        loadRange.Add(sampleLoad);
    }
    FBuilt = true;
    if (points.empty()) return;

    const TRange rpmCover = BucketRange(points, &TPoint::Rpm, rpmRange, RpmBucketWidth);
    const TRange loadCover = BucketRange(points, &TPoint::Load, loadRange, LoadBucketWidth);
    const auto axis = [](const TRange& range, double width) {
        TAxisBuckets buckets;
        buckets.Low = range.Low;
        // Halves, so that even the widest finite range has a finite span.
        const double halfSpan = range.High / 2 - range.Low / 2;
        buckets.Width = std::max(width, halfSpan / (MaxBucketsPerAxis / 2));
        const double count = std::floor(halfSpan / buckets.Width * 2) + 1;
        buckets.Count = static_cast<int>(std::clamp(count, 1.0, static_cast<double>(MaxBucketsPerAxis)));
        buckets.Slack = 1e-9 * (std::abs(buckets.Low) + buckets.Count * buckets.Width);
        return buckets;
    };
    const double budget = static_cast<double>(std::max(MinBucketBudget, 2 * points.size()));
    double rpmWidth = RpmBucketWidth, loadWidth = LoadBucketWidth;
    while (true) {
        FRpm = axis(rpmCover, rpmWidth);
        FLoad = axis(loadCover, loadWidth);
        const double total = static_cast<double>(FRpm.Count) * FLoad.Count;
        if (total <= budget) break;
        const double grow = std::sqrt(total / budget) * 1.01;
        rpmWidth = FRpm.Width * grow;
        loadWidth = FLoad.Width * grow;
    }

    // Counting sort by bucket; list order stays within a bucket.
    const std::size_t bucketCount =
        static_cast<std::size_t>(FRpm.Count) * static_cast<std::size_t>(FLoad.Count);
    FStart.assign(bucketCount + 1, 0);
    std::vector<std::uint32_t> keys(points.size());
    for (std::size_t k = 0; k < points.size(); ++k) {
        keys[k] = static_cast<std::uint32_t>(FRpm.BucketOf(points[k].Rpm) * FLoad.Count +
                                             FLoad.BucketOf(points[k].Load));
        ++FStart[keys[k] + 1];
    }
    for (std::size_t b = 0; b < bucketCount; ++b) FStart[b + 1] += FStart[b];
    std::vector<TPoint> sorted(points.size());
    {
        std::vector<std::uint32_t> next(FStart.begin(), FStart.end() - 1);
        for (std::size_t k = 0; k < points.size(); ++k) sorted[next[keys[k]]++] = points[k];
    }
    points = {};
    keys = {};

    // Of samples at the very same place only the first can ever be the
    // nearest: each bucket keeps that one alone (a logger idling for an hour
    // repeats itself). A bucket is in list order, so the first one met is it.
    FSampleRpm.resize(sorted.size());
    FSampleLoad.resize(sorted.size());
    FSampleIndex.resize(sorted.size());
    std::size_t kept = 0;
    std::vector<std::uint32_t> seen;  // hashed places: 1 + position kept, 0 when free
    for (std::size_t b = 0; b < bucketCount; ++b) {
        const std::size_t begin = FStart[b], end = FStart[b + 1];
        FStart[b] = static_cast<std::uint32_t>(kept);
        const std::size_t mask = end - begin > 1 ? std::bit_ceil(2 * (end - begin)) - 1 : 0;
        if (mask) seen.assign(mask + 1, 0);
        for (std::size_t k = begin; k < end; ++k) {
            const TPoint& p = sorted[k];
            if (mask) {
                std::size_t slot = PlaceHash(p.Rpm, p.Load) & mask;
                for (; seen[slot] != 0; slot = (slot + 1) & mask) {
                    const std::size_t other = seen[slot] - 1;
                    if (FSampleRpm[other] == p.Rpm && FSampleLoad[other] == p.Load) break;
                }
                if (seen[slot] != 0) continue;
                seen[slot] = static_cast<std::uint32_t>(kept + 1);
            }
            FSampleRpm[kept] = p.Rpm;
            FSampleLoad[kept] = p.Load;
            FSampleIndex[kept] = p.Index;
            ++kept;
        }
    }
    FStart[bucketCount] = static_cast<std::uint32_t>(kept);
    FSampleRpm.resize(kept);
    FSampleLoad.resize(kept);
    FSampleIndex.resize(kept);
    FSampleRpm.shrink_to_fit();
    FSampleLoad.shrink_to_fit();
    FSampleIndex.shrink_to_fit();
}

int TNearestSampleIndex::Find(double rpm, double load) const {
    if (FSampleIndex.empty() || !std::isfinite(rpm) || !std::isfinite(load)) return -1;

    // The buckets the reach touches, one more on each side for rounding;
    // those that could hold a sample within reach, nearest first.
    struct TCandidate {
        double Gap;
        std::uint32_t Bucket;
    };
    const double loadReach = NearestSampleReach / 10;
    const int r0 = std::max(FRpm.BucketOf(rpm - NearestSampleReach) - 1, 0);
    const int r1 = std::min(FRpm.BucketOf(rpm + NearestSampleReach) + 1, FRpm.Count - 1);
    const int l0 = std::max(FLoad.BucketOf(load - loadReach) - 1, 0);
    const int l1 = std::min(FLoad.BucketOf(load + loadReach) + 1, FLoad.Count - 1);
    std::vector<TCandidate> candidates;
    candidates.reserve(static_cast<std::size_t>((r1 - r0 + 1) * (l1 - l0 + 1)));
    for (int r = r0; r <= r1; ++r) {
        const double rpmGap = FRpm.GapTo(r, rpm);
        if (!(rpmGap < NearestSampleReach)) continue;
        for (int l = l0; l <= l1; ++l) {
            const auto bucket = static_cast<std::uint32_t>(r * FLoad.Count + l);
            if (FStart[bucket] == FStart[bucket + 1]) continue;
            const double gap = rpmGap + 10 * FLoad.GapTo(l, load);
            if (gap < NearestSampleReach) candidates.push_back({gap, bucket});
        }
    }
    std::sort(candidates.begin(), candidates.end(),
              [](const TCandidate& a, const TCandidate& b) { return a.Gap < b.Gap; });

    double best = NearestSampleReach;
    std::int32_t found = -1;
    for (const TCandidate& candidate : candidates) {
        // A bucket as far as the best so far may still hold an earlier sample.
        if (candidate.Gap > best) break;
        for (std::uint32_t k = FStart[candidate.Bucket]; k < FStart[candidate.Bucket + 1]; ++k) {
            const double distance = Distance(FSampleRpm[k], FSampleLoad[k], rpm, load);
            if (distance < best || (distance == best && FSampleIndex[k] < found)) {
                best = distance;
                found = FSampleIndex[k];
            }
        }
    }
    return found;
}

}  // namespace kelvane
