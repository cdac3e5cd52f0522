#pragma once

namespace lumetra {

/// TIFF field types. Plain numbers rather than an enum: a directory entry may carry any 16-bit type, and
/// the readers must see the unknown ones to refuse them.
namespace tiff_type {
inline constexpr int kByte = 1;
inline constexpr int kAscii = 2;
inline constexpr int kShort = 3;
inline constexpr int kLong = 4;
inline constexpr int kRational = 5;
inline constexpr int kSByte = 6;
inline constexpr int kUndefined = 7;
inline constexpr int kSShort = 8;
inline constexpr int kSLong = 9;
inline constexpr int kSRational = 10;
inline constexpr int kFloat = 11;
inline constexpr int kDouble = 12;
/// The largest type the readers know; an entry with a larger one breaks its directory.
inline constexpr int kLastKnown = kDouble;
/// A pointer to a sub-directory (TIFF's later type 13), met only where a maker note points to one.
inline constexpr int kIfd = 13;
}  // namespace tiff_type

}  // namespace lumetra
