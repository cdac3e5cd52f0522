#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "metadata/DirectoryEntry.h"
#include "metadata/ImageInfo.h"
#include "metadata/MakerRenderers.h"
#include "metadata/ReaderError.h"
#include "metadata/TiffTypes.h"
#include "metadata/ValueRendering.h"
#include "text/TextEncoding.h"

// The maker-note walk of the directory reader: one flat directory in a maker's own layout.

namespace lumetra {
namespace {

// Puts a reader's buffer and byte order back however the maker-note walk ends.
class ReaderStateScope {
 public:
  explicit ReaderStateScope(TImageInfo& info) : info_(info), buffer_(info.Buffer), big_endian_(info.BigEndian) {}
  ~ReaderStateScope() {
    info_.Buffer = buffer_;
    info_.BigEndian = big_endian_;
  }
  ReaderStateScope(const ReaderStateScope&) = delete;
  ReaderStateScope& operator=(const ReaderStateScope&) = delete;

 private:
  TImageInfo& info_;
  std::string_view buffer_;
  bool big_endian_;
};

// Bytes from 1-based `position`, `count` of them, fewer when `data` ends first, none outside it.
std::string_view BytesAt(std::string_view data, int64_t position, int64_t count) {
  if (position < 1 || position - 1 >= static_cast<int64_t>(data.size())) return {};
  return data.substr(static_cast<size_t>(position - 1), static_cast<size_t>(count));
}

// The TIFF offset a note's trailer says it was written at: its last 8 bytes, a byte-order mark matching
// the note's and the offset in that order. Nothing when the note has no such trailer.
std::optional<int64_t> WrittenOffset(std::string_view note, bool big_endian) {
  constexpr size_t kTrailerSize = 8;
  if (note.size() <= kTrailerSize) return std::nullopt;
  const std::string_view trailer = note.substr(note.size() - kTrailerSize);
  if (trailer.substr(0, 4) != (big_endian ? std::string_view("MM\0*", 4) : std::string_view("II*\0", 4))) {
    return std::nullopt;
  }
  uint32_t offset = 0;
  for (size_t i = 0; i < 4; ++i) {
    const auto byte = static_cast<uint8_t>(trailer[big_endian ? 4 + i : kTrailerSize - 1 - i]);
    offset = (offset << 8) | byte;
  }
  return offset;
}

// The entry at this position of a maker note (counted from 0) holds the lens text some makers write; it is
// kept aside as `makerLensText` for a photo without a LensModel tag.
constexpr int64_t kLensTextEntry = 17;

std::string Quoted(std::string_view bytes) {
  std::string text = "\"";
  text += bytes;
  text += '"';
  return text;
}

// The 1-based note position of an offset the note stores.
int64_t NotePosition(const MakerLayout& layout, int64_t maker_offset, int64_t offset) {
  switch (layout.offset_rule) {
    case MakerOffsetRule::kTiffHeader:
      return offset + 10 - maker_offset;
    case MakerOffsetRule::kOwnTiffHeader:
      return offset + 11;
    case MakerOffsetRule::kMakerNoteStart:
      break;
  }
  return offset + 1;
}

// The table's row for `tag` (its first) and the code list to render it with (that of its last row, which
// has the say); no row when the table does not know the tag.
struct MakerRowMatch {
  const MakerRow* row = nullptr;
  const char* code_list = "";
};

// The match of every tag a maker table has, found once per table: every entry of every note asks.
class MakerRowIndex {
 public:
  explicit MakerRowIndex(std::span<const MakerRow> table) {
    for (const MakerRow& row : table) {
      MakerRowMatch& match = matches_[row.tag];
      if (match.row == nullptr) match.row = &row;
      match.code_list = row.code_list;
    }
  }
  [[nodiscard]] MakerRowMatch Find(uint16_t tag) const {
    const auto found = matches_.find(tag);
    return found != matches_.end() ? found->second : MakerRowMatch{};
  }

 private:
  std::unordered_map<uint16_t, MakerRowMatch> matches_;
};

// The index of a maker table. The tables are built in and never freed, so their addresses name them; a
// thread asks again only when a note of another table comes.
const MakerRowIndex& RowIndexOf(std::span<const MakerRow> table) {
  thread_local const MakerRow* last_table = nullptr;
  thread_local size_t last_size = 0;
  thread_local const MakerRowIndex* last_index = nullptr;
  if (last_index != nullptr && last_table == table.data() && last_size == table.size()) return *last_index;
  static std::mutex mutex;
  static std::map<std::pair<const MakerRow*, size_t>, std::unique_ptr<MakerRowIndex>> indexes;
  const std::lock_guard lock(mutex);
  std::unique_ptr<MakerRowIndex>& index = indexes[{table.data(), table.size()}];
  if (index == nullptr) index = std::make_unique<MakerRowIndex>(table);
  last_table = table.data();
  last_size = table.size();
  last_index = index.get();
  return *index;
}

MakerRowMatch FindMakerRow(std::span<const MakerRow> table, uint16_t tag) { return RowIndexOf(table).Find(tag); }

// A maker entry's value as text: texts and undefined bytes quoted, numbers formatted by the code list (and
// quoted as bytes when they cannot be).
std::string RenderMakerValue(std::string_view raw, int type, const char* code_list, bool big_endian) {
  if (type == tiff_type::kAscii) return Quoted(raw.substr(0, raw.find('\0')));
  if (type == tiff_type::kUndefined) return Quoted(raw);
  try {
    return FormatValue(raw, type, code_list, "", big_endian);
  } catch (const ReaderError&) {
    return Quoted(raw);
  }
}

}  // namespace

void TImageInfo::ProcessMakerDirectory(std::string_view bytes, const MakerLayout& layout, int64_t maker_offset) {
  ReaderStateScope restore(*this);
  // Values that lie outside the note are looked for in the Exif data the note came from.
  const std::string_view exif = Buffer;
  Buffer = bytes;
  if (layout.little_endian) BigEndian = false;
  if (layout.origin_trailer) {
    // A TIFF offset X lies at note position X + 10 - maker_offset, so the offset the note was written
    // at must land on its first byte. An editor that moves a Canon note leaves the offsets inside it
    // as they were and only the trailer tells where they count from.
    if (const std::optional<int64_t> written = WrittenOffset(bytes, BigEndian)) maker_offset = *written + 9;
  }
  if (layout.big_endian) BigEndian = true;
  try {
    // No size or loop check: a maker directory is one flat list (its one sub-directory has none).
    const int64_t count = ReadWord(layout.start + 1);
    bool sub_directory_read = false;
    for (int64_t i = 0; i < count; ++i) {
      const int64_t position = layout.start + 3 + 12 * i;
      if (layout.sub_directory_tag != 0 && ReadWord(position) == layout.sub_directory_tag) {
        // Only the first such entry is followed: a note that repeats it would otherwise have its
        // directories walked over and over.
        if (!sub_directory_read) {
          sub_directory_read = true;
          const int64_t start = NotePosition(layout, maker_offset, ReadLong(position + 8)) - 1;
          ProcessMakerSubDirectory(bytes, layout, start, maker_offset);
        }
        continue;
      }
      if (!ProcessMakerEntry(MakerEntrySite{bytes, exif, layout, maker_offset, i, position})) break;
    }
  } catch (const ReaderError& error) {
    // A broken maker note loses the rest of its own entries; the Exif walk goes on.
    ErrorText = std::string("Error Detected = ") + error.what();
  }
}

bool TImageInfo::ProcessMakerEntry(const MakerEntrySite& site) {
  const MakerLayout& layout = site.layout;
  DirectoryEntry field;
  std::string failure;
  if (!TryDecodeEntry(*this, site.position, EntryOwner::kMakerNote, field, failure)) {
    // As a throw would end the note, without its cost: many notes end in an entry that is not one.
    ErrorText = "Error Detected = " + failure;
    return false;
  }
  const std::string_view raw = MakerEntryValue(site, field);

  const auto [row, code_list] = FindMakerRow(layout.table, field.tag);
  const std::string_view name = row != nullptr ? row->ShownName() : "Unknown";
  if (SameTagName(name, "SKIP")) return true;

  // Only rows after the table's first are listed and have their renderer run.
  const bool own_row = row != nullptr && row != &layout.table.front();
  const bool renders = own_row && row->renderer != nullptr;
  // A selective read renders what it lists, what a renderer reads (a renderer may fail, ending the
  // note, or list named entries) and the entry the lens text is taken from; the rest stays unread.
  const bool listed = own_row && Lists(row->name);
  const bool lens_entry = site.index == kLensTextEntry;
  if (BuildMode == BuildSelectedTags && renders && !listed && ListRecordElements(*row, code_list, field.type, raw)) {
    return true;
  }
  std::string rendered;
  if (ListsEverything() || (BuildMode == BuildSelectedTags && (listed || renders || lens_entry))) {
    rendered = RenderMakerValue(raw, field.type, code_list, BigEndian);
  }

  ReaderContext& context = Context();
  context.SubRecordFlag = false;
  context.RecordLinesWanted = BuildsText();
  const std::string text = renders ? row->renderer(rendered, context) : MakePrintable(rendered);
  if (!context.SubRecordFlag && lens_entry && layout.lens_entry && !text.empty()) context.makerLensText = text;
  if (BuildsText()) {
    if (!context.SubRecordFlag) {
      MakerNoteText.append("\r\n").append(name).append(" = ").append(text);
    } else {
      MakerNoteText.append(text).append("\r\n").append(name).append(" = ").append(rendered);
    }
  }

  // A row without a tag number is never listed, as AddTag would refuse it.
  if (listed && row->tag != 0) ListMakerEntry(*row, field.type, raw, context.SubRecordFlag ? rendered : text);
  return true;
}

std::string_view TImageInfo::MakerEntryValue(const MakerEntrySite& site, const DirectoryEntry& field) {
  const int64_t value_position =
      field.ValueInEntry() ? site.position + 8 : NotePosition(site.layout, site.maker_offset, field.offset);
  // A value inside the note (ending on its last byte at the latest) is read from it; one outside is
  // looked for in the Exif data.
  const bool inside =
      value_position >= 1 && field.byte_count <= static_cast<int64_t>(site.note.size()) - (value_position - 1);
  const std::string_view raw = inside ? BytesAt(site.note, value_position, field.byte_count)
                                      : BytesAt(site.exif, field.offset + site.layout.fallback_base, field.byte_count);
  if (!inside && static_cast<int64_t>(raw.size()) < field.byte_count) ReadPastEnd = true;
  return raw;
}

void TImageInfo::ListMakerEntry(const MakerRow& row, int type, std::string_view raw, const std::string& text) {
  TTagEntry& entry = Tags.Append();
  entry.Origin = 1;
  entry.Tag = row.tag;
  entry.Name = row.name;
  entry.Desc = row.ShownName();
  entry.CodeList = row.code_list;
  entry.Format = static_cast<uint16_t>(type);
  entry.Raw = raw;
  entry.Text = text;
}

bool TImageInfo::ListRecordElements(const MakerRow& row, const char* code_list, int type, std::string_view raw) {
  // Only a record of integers rendered without a code list reads as its elements; any other goes through
  // its text as the full listing does.
  const MakerRecordLister lister = RecordListerOf(row.renderer);
  if (lister == nullptr || !IsIntegerType(type) || *code_list != '\0') return false;
  lister(RecordElements{raw, ElementSize(type), RenderedElementCount(raw, type), BigEndian}, *this);
  // As the record's renderer leaves it: the entry's own text is no lens text.
  Context().SubRecordFlag = true;
  return true;
}

void TImageInfo::ProcessMakerSubDirectory(std::string_view bytes, const MakerLayout& layout, int64_t start,
                                          int64_t maker_offset) {
  if (start < 0 || start >= static_cast<int64_t>(bytes.size())) return;
  MakerLayout sub = layout;
  sub.table = layout.sub_table;
  sub.start = start;
  sub.origin_trailer = false;
  sub.sub_directory_tag = 0;  // one level only
  sub.lens_entry = false;
  // A broken sub-directory ends its own walk only; its failure is the note's error text.
  ProcessMakerDirectory(bytes, sub, maker_offset);
}

void TImageInfo::AddNamedTag(std::string_view name, std::string_view value) {
  if (!Lists(name)) return;
  // Named entries have no tag number of their own and are listed all the same (AddTag would refuse them).
  TTagEntry& entry = Tags.Append();
  entry.Origin = 1;
  entry.Name = name;
  entry.Desc = name;
  entry.Text = value;
  entry.Raw = value;
  entry.Size = static_cast<int32_t>(value.size());
  entry.Format = tiff_type::kAscii;
}

}  // namespace lumetra
