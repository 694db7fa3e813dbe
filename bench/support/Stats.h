// Small helpers the benchmarks share for reporting: medians and the
// budget verdict printed beside each figure.
#pragma once

#include <algorithm>
#include <vector>

namespace bench {

inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

inline const char* verdict(bool within)
{
    return within ? "within budget" : "OVER BUDGET";
}

} // namespace bench
