#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "metadata/TagEntry.h"

namespace lumetra {

class TimgData;

/// The datasets whose repetitions are joined into one entry, their texts separated by ",":
/// supplemental categories (20) and keywords (25).
inline constexpr std::array<uint16_t, 2> RepeatableDatasets = {20, 25};

/// The 49 IPTC-IIM datasets known by name, in record and dataset order: `IptcRecord`, `Tag` (the dataset
/// number), `Name`, `Desc` and `Size` (the dataset's maximum length in bytes). The first row, 2:0 "SKIP"
/// (the record version), has `Tag` 0 and so is never listed. Built once per process, safe from any thread.
[[nodiscard]] std::span<const TTagEntry> IptcTagTable();

/// The IPTC-IIM datasets of a JPEG's APP13 segment as a list of tags. Created, still empty, by its owning
/// `TimgData` for the file's first APP13 segment; the datasets are read only when `ParseIptc` is called.
class TIPTCdata {
 public:
  explicit TIPTCdata(TimgData& owner);

  TimgData& Owner;
  /// The listed datasets in the order they were read; repeated supplemental categories and keywords are
  /// one entry each.
  std::vector<TTagEntry> Tags;

  [[nodiscard]] int TagCount() const { return static_cast<int>(Tags.size()); }

  /// Replaces the list with the datasets of records 2 and 8 in `bytes` (an APP13 segment's `Data`: its two
  /// length bytes, then "Photoshop 3.0" and the resource blocks). The datasets are looked for after that
  /// text, or from position 13 (1-based) when it is absent; bytes without any dataset give an empty list.
  /// A dataset missing from `IptcTagTable` is listed as "Custom_" + its number; other records are not
  /// listed. A length past the end gives the bytes that remain. Throws `ReaderError` when a dataset header
  /// byte lies outside `bytes` (a dataset marker as the last byte); the list is then empty.
  void ParseIptc(std::string_view bytes);

  // Lookups by name; letters a-z compare without regard to case; the first listed entry wins.

  /// Index of the entry named `name`; -1 when none is.
  [[nodiscard]] int IptcTagIndex(std::string_view name) const;
  /// Text of the entry named `name`; `default_text` when none is listed.
  [[nodiscard]] std::string IptcTagText(std::string_view name, std::string_view default_text) const;

  /// A listed `name` takes a non-empty `text` (an empty one leaves the entry as it is); a name only in
  /// `IptcTagTable` adds a copy of its row with `text`. Returns the entry's index; -1 when the name is in
  /// neither (or is "SKIP", which is never listed) and nothing changed.
  [[nodiscard]] int SetIptcTag(std::string_view name, std::string_view text);
  /// A listed `name` gets a non-empty `text` appended after ","; otherwise as `SetIptcTag`.
  [[nodiscard]] int AppendIptcTag(std::string_view name, std::string_view text);
  /// Removes the first entry named `name`, keeping the order of the others; nothing when none is listed.
  void RemoveIptcTag(std::string_view name);

 private:
  /// Appends `entry` unless its `Tag` is 0; returns its index, or -1 when it was not added.
  int AddTag(TTagEntry entry);
};

}  // namespace lumetra
