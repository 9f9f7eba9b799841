#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

/// The value at `fraction` (0 to 1) of the way through the sorted values, by the nearest
/// rank; 0 for none.
inline double percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(rank, values.size() - 1)];
}
