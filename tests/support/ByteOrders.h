#pragma once

#include "testing/ExifWriter.h"

namespace lumetra::testing {

/// Both byte orders a TIFF structure can be written in, for tests that run once in each.
inline constexpr ByteOrder kBothByteOrders[] = {ByteOrder::kLittle, ByteOrder::kBig};

/// "II" or "MM", as the TIFF header names the order: for the test's trace.
[[nodiscard]] constexpr const char* ByteOrderName(ByteOrder order) { return order == ByteOrder::kLittle ? "II" : "MM"; }

}  // namespace lumetra::testing
