// Step timings for the run report, kept in fixed storage: a step adds one
// sample and never allocates, however long the game runs.  Percentiles come
// from a histogram of 64 bins per doubling (within about 1% of the true
// value) from 1 microsecond to over an hour; mean and max are exact.
#pragma once

#include <cstdint>

struct TimingStats {
    static constexpr int kBinsPerOctave = 64;
    static constexpr int kOctaves = 32;
    static constexpr int kBins = kBinsPerOctave * kOctaves;

    uint64_t count = 0;
    double sum = 0.0;
    float max = 0.0f;
    uint32_t bins[kBins] = {};

    void Add(float ms);
    void Clear();
    double Mean() const;
    // The sample at fraction p (0..1) of the sorted samples; 0 with none.
    double Percentile(double p) const;
};
