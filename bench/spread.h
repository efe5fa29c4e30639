#pragma once
// The spread of a benchmark's measurements and the word printed beside a target.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace orbel::bench {

struct Spread {
    double median = 0;
    double p99 = 0;
    double max = 0;
};

// Nearest-rank percentiles.
inline Spread SpreadOf(std::vector<double> values) {
    if (values.empty()) return {};
    std::sort(values.begin(), values.end());
    const auto rank = [&](double share) {
        const auto at = static_cast<std::size_t>(std::ceil(share * static_cast<double>(values.size())));
        return values[std::clamp<std::size_t>(at, 1, values.size()) - 1];
    };
    return {rank(0.5), rank(0.99), values.back()};
}

inline const char* Verdict(bool met) {
    return met ? "ok" : "MISSED";
}

} // namespace orbel::bench
