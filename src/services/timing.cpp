#include "services/timing.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kFloorMs = 0.001;  // bin 0 holds everything up to 1 microsecond

int BinOf(float ms)
{
    if (!(ms > kFloorMs)) return 0;  // also NaN
    double b = std::log2(ms / kFloorMs) * TimingStats::kBinsPerOctave;
    return static_cast<int>(std::min(b, static_cast<double>(TimingStats::kBins - 1)));
}

// The middle of a bin on the log scale.
double BinValue(int bin) { return kFloorMs * std::exp2((bin + 0.5) / TimingStats::kBinsPerOctave); }
}  // namespace

void TimingStats::Add(float ms)
{
    if (!(ms >= 0.0f)) ms = 0.0f;
    ++count;
    sum += ms;
    max = std::max(max, ms);
    ++bins[BinOf(ms)];
}

void TimingStats::Clear() { *this = TimingStats{}; }

double TimingStats::Mean() const { return count ? sum / static_cast<double>(count) : 0.0; }

double TimingStats::Percentile(double p) const
{
    if (count == 0) return 0.0;
    // The same rank a sorted list would give: round(p x (n - 1)), from 0.
    uint64_t rank = static_cast<uint64_t>(std::clamp(p, 0.0, 1.0) * static_cast<double>(count - 1) + 0.5);
    uint64_t seen = 0;
    for (int b = 0; b < kBins; ++b) {
        seen += bins[b];
        if (seen > rank) return std::min(b == 0 ? kFloorMs : BinValue(b), static_cast<double>(max));
    }
    return max;
}
