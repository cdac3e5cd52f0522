#pragma once

#include <cstddef>
#include <filesystem>

namespace lumetra::testing {

/// Writes demo photos taken over `months` calendar months from January 2019 on, at least one a month: month i
/// gets i % 3 + 1 photos, on days that run through the whole week, mostly by day and now and then at night. One more
/// photo has no capture time. Returns the number of photos written; throws std::runtime_error when a file
/// or folder cannot be written.
std::size_t WriteTimeSpanFolder(const std::filesystem::path& folder, int months);

}  // namespace lumetra::testing
