#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <vector>

// Timing is what the benchmarks make of their samples: the rate, the mean
// and the percentiles, in microseconds.
using Clock = std::chrono::steady_clock;

inline double micros(Clock::duration duration) {
    return std::chrono::duration<double, std::micro>(duration).count();
}

struct Figures {
    double perSecond = 0;
    double mean = 0;
    double p50 = 0;
    double p99 = 0;
};

inline Figures figuresOf(std::vector<double> samples, double seconds) {
    std::sort(samples.begin(), samples.end());
    Figures figures;
    if (samples.empty()) {
        return figures;
    }
    double sum = 0;
    for (double sample : samples) {
        sum += sample;
    }
    const auto at = [&](double share) {
        return samples[std::min(
            samples.size() - 1,
            static_cast<std::size_t>(share * static_cast<double>(samples.size())))];
    };
    figures.perSecond = static_cast<double>(samples.size()) / seconds;
    figures.mean = sum / static_cast<double>(samples.size());
    figures.p50 = at(0.5);
    figures.p99 = at(0.99);
    return figures;
}
