#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "text/TextEncoding.h"

namespace lumetra {

/// A special renderer: takes the text the type rule produced and returns the text shown. Throws
/// `ReaderError` on a text it cannot read.
using TagRenderer = std::string (*)(const std::string& text);

/// `TTagEntry::SelectionIndex` when no selection was asked about the entry, and when it was and does not
/// hold the name.
inline constexpr int16_t kSelectionUnknown = -1;
inline constexpr int16_t kNameNotSelected = -2;

/// One tag: both a row of the tag tables and an entry of a reader's tag list.
struct TTagEntry {
  /// 0 for Exif/GPS entries and table rows; 1 for maker-note entries and named entries.
  int32_t Origin = 0;
  /// TIFF field type of the value (1 to 12); 10 for the computed 35 mm entry.
  uint16_t Format = 0;
  /// IPTC record number in the IPTC table; 0 elsewhere.
  uint16_t IptcRecord = 0;
  /// Tag number; 0 stands for no tag and is never listed.
  uint16_t Tag = 0;
  /// Where the selection of the selective read that listed the entry holds its name
  /// (`TagSelection::IndexOf`), found as it was listed so that its reader need not look the name up again;
  /// kNameNotSelected when it does not hold it, kSelectionUnknown when no selection was asked.
  int16_t SelectionIndex = -1;
  /// Tag name, the key of every lookup by name.
  std::string Name;
  /// Description used in the text listings.
  std::string Desc;
  /// Comma-separated "code:text" items for integer values. Always text of a built-in table (static), so
  /// entries share it rather than copy it.
  std::string_view CodeList;
  /// The rendered value.
  std::string Text;
  /// The value's bytes as they stand in the data.
  std::string Raw;
  /// 1-based position of the value's bytes in the buffer.
  int64_t Offset = 0;
  /// Format applied after element rendering ("%5.2f", "%s", ...); static text, like `CodeList`.
  std::string_view FormatString;
  /// Number of bytes in `Raw`.
  int32_t Size = 0;
  TagRenderer Renderer = nullptr;
};

/// True when two tag names are equal with letters a-z compared without regard to case: the rule of every
/// lookup by name.
[[nodiscard]] inline bool SameTagName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  // Names are nearly always written alike: equal bytes are passed eight at a time, and letters are lowered
  // only where the bytes differ.
  size_t i = 0;
  for (; i + sizeof(uint64_t) <= a.size(); i += sizeof(uint64_t)) {
    uint64_t a_word = 0;
    uint64_t b_word = 0;
    std::memcpy(&a_word, a.data() + i, sizeof a_word);
    std::memcpy(&b_word, b.data() + i, sizeof b_word);
    if (a_word != b_word) break;
  }
  for (; i < a.size(); ++i) {
    if (a[i] != b[i] && LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

/// Which tag table a directory's entries are looked up in.
enum class DirectoryKind { kMain, kGps };

}  // namespace lumetra
