#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <vector>

namespace lumetra::bench {

using Clock = std::chrono::steady_clock;

/// A span of the steady clock in milliseconds.
inline double Milliseconds(Clock::duration span) { return std::chrono::duration<double, std::milli>(span).count(); }

/// The median of `values` (the mean of the two middle ones for an even count); 0 for none. One slow or one
/// lucky round does not move it.
inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace lumetra::bench
