#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "metadata/TagEntry.h"

namespace lumetra {

/// What the 35 mm step (`TImageInfo::CalcFocalLength35`) looks up by name: a selective read lists them
/// whatever it was asked for.
inline constexpr std::array<std::string_view, 6> kFocal35InputNames = {
    "FocalLengthin35mmFilm", "FocalPlaneResolutionUnit", "ResolutionUnit",
    "FocalLength",           "FocalPlaneXResolution",    "FocalPlaneYResolution",
};

/// The tag names a read lists when it is not a full listing (the survey asks for the tags of its photo records). Names
/// compare as every lookup by name does, letters a-z without regard to case.
class TagSelection {
 public:
  explicit TagSelection(std::span<const std::string_view> names);

  [[nodiscard]] bool Holds(std::string_view name) const { return IndexOf(name) >= 0; }
  /// Where `name` stands in the names the selection was made of; -1 when it is not there.
  [[nodiscard]] int IndexOf(std::string_view name) const;
  /// Whether it holds the name of `row`: for a row of the Exif or GPS tag table (every entry of every photo
  /// asks) the answer was found once when the selection was made; any other row is looked up by name.
  [[nodiscard]] bool HoldsRow(const TTagEntry& row) const { return IndexOfRow(row) >= 0; }
  /// `IndexOf` the name of `row`, answered as `HoldsRow` is.
  [[nodiscard]] int IndexOfRow(const TTagEntry& row) const {
    // Inline: every entry of every photo asks, and nearly every row is one of the two tables'.
    const auto* const at = &row;
    if (std::less_equal<>()(main_table_.data(), at) && std::less<>()(at, main_table_.data() + main_table_.size())) {
      return main_rows_[static_cast<size_t>(at - main_table_.data())];
    }
    if (std::less_equal<>()(gps_table_.data(), at) && std::less<>()(at, gps_table_.data() + gps_table_.size())) {
      return gps_rows_[static_cast<size_t>(at - gps_table_.data())];
    }
    return IndexOfOtherRow(row);
  }
  /// Whether a selective read with this selection lists the entries of `row`: it holds the row's name, or
  /// the 35 mm step reads it. Answered as `HoldsRow` is, from bytes found once.
  [[nodiscard]] bool ListsRow(const TTagEntry& row) const {
    const auto* const at = &row;
    if (std::less_equal<>()(main_table_.data(), at) && std::less<>()(at, main_table_.data() + main_table_.size())) {
      return main_listed_rows_[static_cast<size_t>(at - main_table_.data())] != 0;
    }
    if (std::less_equal<>()(gps_table_.data(), at) && std::less<>()(at, gps_table_.data() + gps_table_.size())) {
      return gps_listed_rows_[static_cast<size_t>(at - gps_table_.data())] != 0;
    }
    return Lists(row.Name);
  }
  /// `ListsRow` for a name.
  [[nodiscard]] bool Lists(std::string_view name) const;

 private:
  /// `IndexOfRow` for a row of neither table: looked up by name.
  [[nodiscard]] int IndexOfOtherRow(const TTagEntry& row) const;

  static constexpr size_t kShortLength = 64;
  // The names sorted by length, and where the names of each short length begin: the walk asks about every
  // entry of every photo, and most names are then refused without a comparison.
  std::vector<std::string> names_;
  std::vector<int> indexes_;         // of names_ in the names given
  std::vector<char> first_letters_;  // of names_, a-z in lower case: most candidates are refused on it
  std::array<uint8_t, kShortLength + 1> first_of_length_{};
  // The Exif and GPS tag tables, and where each of their rows' names is held (-1 when not), in table order.
  std::span<const TTagEntry> main_table_;
  std::span<const TTagEntry> gps_table_;
  std::vector<int> main_rows_;
  std::vector<int> gps_rows_;
  // The same for `ListsRow`.
  std::vector<uint8_t> main_listed_rows_;
  std::vector<uint8_t> gps_listed_rows_;
};

}  // namespace lumetra
