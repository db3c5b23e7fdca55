#pragma once
// The middle of several timings: one run slowed by other work on the machine does
// not move it.

#include <algorithm>
#include <vector>

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
