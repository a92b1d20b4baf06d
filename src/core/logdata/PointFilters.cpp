#include "core/logdata/PointFilters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace kelvane {

namespace {

// Extra margin added to both inhibit windows, so that a window of 0 still
// takes the immediate neighbours one logging step away.
constexpr double InhibitMargin = 0.1;

// Samples handed to the caller at a time: few calls, and the run still fits
// the cache.
constexpr std::size_t SettleRunLength = 64;
constexpr std::size_t PrefetchDistance = 12;

constexpr int ThrottleIdle = 1;
constexpr int ThrottleCruise = 2;
constexpr int ThrottleWot = 3;

bool PassesThrottleTest(int throttleSwitch, const TFilterSettings& settings) {
    if (throttleSwitch == ThrottleIdle) return settings.IncludeIdle;
    if (throttleSwitch == ThrottleCruise) return settings.IncludeCruise;
    if (throttleSwitch == ThrottleWot) return settings.IncludeWot;
    return true;  // missing or unknown switch positions are not judged
}

bool PassesFilters(const std::vector<TLogDataEntry>& e, std::size_t i, const TFilterSettings& settings) {
    const std::size_t n = e.size();
    if (i == 0 || i == n - 1) return false;
    const TLogDataEntry& prev = e[i - 1];
    const TLogDataEntry& cur = e[i];
    const double t = cur.TimeSec;
    if (prev.TimeSec == t) return false;
    if (cur.SmoothedAfr == MissingValue) return false;
    if (settings.MaxAfrEnabled && !(cur.SmoothedAfr <= settings.MaxAfr)) return false;
    const double dt = t - prev.TimeSec;
    if (settings.MaxMafSlopeEnabled &&
        !(std::fabs((cur.PlotMaf - prev.PlotMaf) / dt) <= settings.MaxMafSlope))
        return false;
    if (settings.MaxRpmSlopeEnabled && !(std::fabs((cur.Rpm - prev.Rpm) / dt) <= settings.MaxRpmSlope))
        return false;
    // A sample next to a backward step of time (the border between two files) fails.
    if (!(prev.TimeSec <= t && t <= e[i + 1].TimeSec)) return false;
    return PassesThrottleTest(cur.ThrottleSwitch, settings);
}

}  // namespace

void ApplyFilters(TLogData& logData, const TFilterSettings& settings, const TSettledSample& settled) {
    if (!settled) {
        ApplyFilters(logData, settings);
        return;
    }
    ApplyFiltersInRuns(logData, settings, [&](std::size_t first, std::size_t end) {
        for (std::size_t i = first; i < end; ++i) settled(i);
    });
}

void ApplyFiltersInRuns(TLogData& logData, const TFilterSettings& settings, const TSettledRun& settled) {
    std::vector<TLogDataEntry>& e = logData.Entries;
    const std::size_t n = e.size();
    if (n == 0) return;
    if (!settings.FiltersEnabled) {
        for (std::size_t first = 0; first < n; first += SettleRunLength) {
            const std::size_t end = std::min(n, first + SettleRunLength);
            for (std::size_t i = first; i < end; ++i) e[i].Included = 1;
            if (settled) settled(first, end);
        }
        return;
    }

    const double before = InhibitMargin + settings.InhibitBefore;
    const double after = InhibitMargin + settings.InhibitAfter;

    // The walks only ever clear flags, so the result does not depend on the
    // order of the failures. Runs of failing samples with one and the same time
    // (a stuck clock) would make the walks quadratic; a walk that would repeat
    // the previous one is skipped or resumed where that one ended.
    bool prevFailed = false;
    std::size_t forwardOrigin = 0;  // last failing sample whose forward walk ran
    std::size_t forwardEnd = 0;     // first index that walk did not clear
    bool haveForwardWalk = false;
    std::size_t coveredUntil = 0;  // forward walks so far excluded everything below this

    // A backward walk from a later sample reaches sample j only through every
    // sample between, and each of them must lie inside the same window of
    // length `before`: once a sample at least that far in time from j (either
    // way) has been seen, j's flag is final.
    std::size_t firstUnsettled = 0;
    auto settleUpTo = [&](std::size_t i) {
        const double t = e[i].TimeSec;
        const std::size_t first = firstUnsettled;
        while (firstUnsettled < i) {
            const double tj = e[firstUnsettled].TimeSec;
            // Written as the walks compare, so rounding cannot settle a sample
            // a walk still reaches. A NaN time settles: no walk passes it.
            if (tj > t - before && t > tj - before) break;
            ++firstUnsettled;
        }
        if (firstUnsettled > first) settled(first, firstUnsettled);
    };

    // Flags are set as the pass reaches each sample, so the list is walked
    // once; samples a forward walk already covered start out excluded.
    for (std::size_t i = 0; i < n; ++i) {
        // Samples are large and only their first cache line is read here:
        // asking for it a few samples ahead keeps the memory busy meanwhile.
        if (i + PrefetchDistance < n) __builtin_prefetch(&e[i + PrefetchDistance]);
        // Settled samples are handed over in runs, while they are still in
        // the cache; a sample settled once stays settled, so asking now and
        // then is enough.
        if (settled && i % SettleRunLength == 0) settleUpTo(i);
        if (PassesFilters(e, i, settings)) {
            // Stored only when it changes: re-applying the same filters then
            // leaves the list's memory clean.
            const std::uint8_t included = i < coveredUntil ? 0 : 1;
            if (e[i].Included != included) e[i].Included = included;
            prevFailed = false;
            continue;
        }
        const double t = e[i].TimeSec;
        if (e[i].Included) e[i].Included = 0;

        // Same time as a failing predecessor: its backward walk covered ours.
        const bool backwardDone = prevFailed && e[i - 1].TimeSec == t;
        if (!backwardDone) {
            for (std::size_t j = i; j-- > 0;) {
                const double tj = e[j].TimeSec;
                if (!(tj <= t && tj > t - before)) break;
                if (e[j].Included) e[j].Included = 0;
            }
        }

        // Same time as the failing sample whose forward walk reached past us:
        // everything up to where that walk stopped meets our test too.
        const bool resume = haveForwardWalk && i < forwardEnd && e[forwardOrigin].TimeSec == t;
        std::size_t j = resume ? forwardEnd : i + 1;
        while (j < n && e[j].TimeSec >= t && e[j].TimeSec < t + after) ++j;
        if (!resume) forwardOrigin = i;
        forwardEnd = j;
        haveForwardWalk = true;
        coveredUntil = std::max(coveredUntil, j);
        prevFailed = true;
    }
    if (settled && firstUnsettled < n) settled(firstUnsettled, n);
}

namespace {

// What the walks of one part's failing samples would clear outside the part:
// backward walks clear a run ending just before the part, forward walks a
// run starting just after it, so the lowest and the highest index reached
// say it all.
struct TPartSpill {
    std::size_t BackLow;
    std::size_t ForwardHigh;
};

// The pass of ApplyFiltersInRuns over the samples [first, end) only: times
// are read anywhere, flags are written inside the part only, and what the
// walks would clear beyond it is handed back.
TPartSpill FilterPart(std::vector<TLogDataEntry>& e, const TFilterSettings& settings, std::size_t first,
                      std::size_t end) {
    const std::size_t n = e.size();
    const double before = InhibitMargin + settings.InhibitBefore;
    const double after = InhibitMargin + settings.InhibitAfter;
    TPartSpill spill{first, end};

    bool prevFailed = false;
    std::size_t forwardOrigin = first;
    std::size_t forwardEnd = first;
    bool haveForwardWalk = false;
    std::size_t coveredUntil = first;
    for (std::size_t i = first; i < end; ++i) {
        if (i + PrefetchDistance < n) __builtin_prefetch(&e[i + PrefetchDistance]);
        if (PassesFilters(e, i, settings)) {
            const std::uint8_t included = i < coveredUntil ? 0 : 1;
            if (e[i].Included != included) e[i].Included = included;
            prevFailed = false;
            continue;
        }
        const double t = e[i].TimeSec;
        if (e[i].Included) e[i].Included = 0;

        const bool backwardDone = prevFailed && e[i - 1].TimeSec == t;
        if (!backwardDone) {
            std::size_t j = i;
            for (; j-- > 0;) {
                const double tj = e[j].TimeSec;
                if (!(tj <= t && tj > t - before)) break;
                if (j < first) {
                    // Beyond the part: only find how far the walk goes.
                    spill.BackLow = std::min(spill.BackLow, j);
                    continue;
                }
                if (e[j].Included) e[j].Included = 0;
            }
        }

        const bool resume = haveForwardWalk && i < forwardEnd && e[forwardOrigin].TimeSec == t;
        std::size_t j = resume ? forwardEnd : i + 1;
        while (j < n && e[j].TimeSec >= t && e[j].TimeSec < t + after) ++j;
        if (!resume) forwardOrigin = i;
        forwardEnd = j;
        haveForwardWalk = true;
        coveredUntil = std::max(coveredUntil, j);
        prevFailed = true;
    }
    // Forward walks stopped by the part's end cleared nothing there yet.
    spill.ForwardHigh = std::max(end, coveredUntil);
    return spill;
}

void ClearIncluded(std::vector<TLogDataEntry>& e, std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end; ++i)
        if (e[i].Included) e[i].Included = 0;
}

}  // namespace

void ApplyFilters(TLogData& logData, const TFilterSettings& settings, TWorkerPool& pool) {
    std::vector<TLogDataEntry>& e = logData.Entries;
    const std::size_t n = e.size();
    const int parts = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(pool.Threads()), n));
    if (parts <= 1 || !settings.FiltersEnabled) {
        ApplyFiltersInRuns(logData, settings, nullptr);
        return;
    }
    // At most eight parts, as the shared pool has at most eight threads.
    std::array<TPartSpill, 8> spills{};
    const int used = std::min(parts, static_cast<int>(spills.size()));
    pool.Run([&](int part) {
        if (part >= used) return;
        spills[static_cast<std::size_t>(part)] =
            FilterPart(e, settings, PartBegin(n, part, used), PartBegin(n, part + 1, used));
    });
    // The walks only ever clear flags, so the parts' flags and what their
    // walks reached beyond them add up to the result of one pass.
    for (int part = 0; part < used; ++part) {
        const TPartSpill& spill = spills[static_cast<std::size_t>(part)];
        ClearIncluded(e, spill.BackLow, PartBegin(n, part, used));
        ClearIncluded(e, PartBegin(n, part + 1, used), spill.ForwardHigh);
    }
}

void ApplyFilters(TLogData& logData, const TFilterSettings& settings, bool& filtersDirty, TWorkerPool& pool) {
    ApplyFilters(logData, settings, pool);
    filtersDirty = false;
}

}  // namespace kelvane
