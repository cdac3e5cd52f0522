#include "metadata/MakerNoteData.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "metadata/ExifData.h"
#include "metadata/ImageInfo.h"
#include "metadata/ReaderError.h"
#include "metadata/TextEncoding.h"
#include "metadata/ValueRendering.h"

namespace lumetra {
namespace {

// Nikon's third layout: Exif 2.2 and later, or, in a TIFF-like file without an Exif version, a D-series
// model (the character after the model's first blank).
bool IsNikonType3(const TImageInfo& info) {
  if (info.VersionText > "0210") return true;
  if (!info.VersionText.empty() || !info.IsTiff) return false;
  const size_t blank = info.CameraModel.find(' ');
  const size_t after = blank == std::string::npos ? 0 : blank + 1;
  return after < info.CameraModel.size() && info.CameraModel[after] == 'D';
}

std::optional<MakerLayout> LayoutOf(const std::string& maker, const TImageInfo& info) {
  using Rule = MakerOffsetRule;
  if (maker == "NIKON") {
    if (IsNikonType3(info)) return MakerLayout{NikonTable2(), 18, Rule::kOwnTiffHeader, 0};
    if (info.MakerNoteRaw.starts_with("Nikon")) return MakerLayout{NikonTable1(), 8, Rule::kTiffHeader, 0};
    return MakerLayout{NikonTable2(), 0, Rule::kTiffHeader, 0};
  }
  if (maker == "OLYMP") return MakerLayout{OlympusTable(), 8, Rule::kTiffHeader, 9};
  if (maker == "CASIO") return MakerLayout{CasioTable(), 0, Rule::kTiffHeader, 0};
  if (maker == "FUJIF") return MakerLayout{FujifilmTable(), 12, Rule::kMakerNoteStart, 0, true};
  if (maker == "CANON") return MakerLayout{CanonTable(), 0, Rule::kTiffHeader, 0, false, true};
  if (maker == "SEIKO") return MakerLayout{SeikoTable(), 8, Rule::kTiffHeader, 0};
  if (maker == "SANYO") return MakerLayout{SanyoTable(), 8, Rule::kTiffHeader, 0};
  if (maker == "MINOL") return MakerLayout{MinoltaTable(), 0, Rule::kTiffHeader, 0};
  return std::nullopt;
}

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

std::string Quoted(std::string_view bytes) {
  std::string text = "\"";
  text += bytes;
  text += '"';
  return text;
}

}  // namespace

TmsInfo::TmsInfo(bool is_tiff, TImageInfo& image_info)
    : IsTiff(is_tiff), ImageInfo(image_info), MakerOffset(image_info.MakerNotePos + (is_tiff ? 16 : 0)) {}

bool TmsInfo::ProcessMakerNote() {
  const std::string maker = UpperAscii(ImageInfo.CameraMake.substr(0, 5));
  ImageInfo.Context().CurrentImageInfo = &ImageInfo;
  const std::optional<MakerLayout> layout = LayoutOf(maker, ImageInfo);
  if (!layout) return false;
  ImageInfo.ProcessMakerDirectory(ImageInfo.MakerNoteRaw, *layout, MakerOffset);
  MakerName = ImageInfo.CameraMake;
  return true;
}

void TImageInfo::ProcessMakerDirectory(std::string_view bytes, const MakerLayout& layout, int64_t maker_offset) {
  ReaderStateScope restore(*this);
  Buffer = bytes;
  if (layout.little_endian) BigEndian = false;
  const bool listing = BuildMode == BuildTagList || BuildMode == BuildAll;
  const std::string_view exif =
      Owner.ExifSection != 0 ? std::string_view(Owner.Sections[static_cast<size_t>(Owner.ExifSection)].Data) : bytes;
  const std::span<const MakerRow> table = layout.table;
  if (layout.origin_trailer) {
    // A TIFF offset X lies at note position X + 10 - maker_offset, so the offset the note was written
    // at must land on its first byte. An editor that moves a Canon note leaves the offsets inside it
    // as they were and only the trailer tells where they count from.
    if (const std::optional<int64_t> written = WrittenOffset(bytes, BigEndian)) maker_offset = *written + 9;
  }
  try {
    // No size or loop check: a maker directory is one flat list.
    const int64_t count = ReadWord(layout.start + 1);
    for (int64_t i = 0; i < count; ++i) {
      const int64_t position = layout.start + 3 + 12 * i;
      const uint16_t tag = ReadWord(position);
      const int type = ReadWord(position + 2);
      const int32_t element_count = ReadLong(position + 4);
      if (element_count < 0) throw ReaderError("negative count in maker tag " + std::to_string(tag));
      if (type > 12) throw ReaderError("field type " + std::to_string(type) + " in maker tag " + std::to_string(tag));
      const int64_t byte_count = static_cast<int64_t>(ElementSize(type)) * element_count;
      if (byte_count > std::numeric_limits<int32_t>::max()) {
        throw ReaderError("byte count of maker tag " + std::to_string(tag) + " overflows 32 bits");
      }

      int64_t offset = 0;
      int64_t value_position = position + 8;
      if (byte_count > 4) {
        offset = ReadLong(position + 8);
        if (offset < 0) throw ReaderError("negative offset in maker tag " + std::to_string(tag));
        switch (layout.offset_rule) {
          case MakerOffsetRule::kTiffHeader:
            value_position = offset + 10 - maker_offset;
            break;
          case MakerOffsetRule::kOwnTiffHeader:
            value_position = offset + 11;
            break;
          case MakerOffsetRule::kMakerNoteStart:
            value_position = offset + 1;
            break;
        }
      }
      // A value inside the note (ending on its last byte at the latest) is read from it; one outside is
      // looked for in the Exif data.
      const bool inside =
          value_position >= 1 && byte_count <= static_cast<int64_t>(bytes.size()) - (value_position - 1);
      const std::string_view raw = inside ? BytesAt(bytes, value_position, byte_count)
                                          : BytesAt(exif, offset + layout.fallback_base, byte_count);

      const MakerRow* row = nullptr;
      const char* code_list = "";
      for (const MakerRow& candidate : table) {
        if (candidate.tag != tag) continue;
        if (row == nullptr) row = &candidate;
        code_list = candidate.code_list;  // the last row with the tag has the say
      }
      const std::string name = row != nullptr ? row->ShownName() : "Unknown";
      if (UpperAscii(name) == "SKIP") continue;

      std::string rendered;
      if (listing) {
        if (type == 2) {
          rendered = Quoted(raw.substr(0, raw.find('\0')));
        } else if (type == 7) {
          rendered = Quoted(raw);
        } else {
          try {
            rendered = FormatValue(raw, type, code_list, "", BigEndian);
          } catch (const ReaderError&) {
            rendered = Quoted(raw);
          }
        }
      }

      ReaderContext& context = Context();
      context.SubRecordFlag = false;
      const bool first_row = row == &table.front();
      const std::string text = row != nullptr && !first_row && row->renderer != nullptr
                                   ? row->renderer(rendered, context)
                                   : MakePrintable(rendered);
      if (!context.SubRecordFlag) {
        if (i == 17 && !text.empty()) context.makerLensText = text;
        MakerNoteText.append("\r\n").append(name).append(" = ").append(text);
      } else {
        MakerNoteText.append(text).append("\r\n").append(name).append(" = ").append(rendered);
      }

      if (listing && row != nullptr && !first_row) {
        TTagEntry entry;
        entry.Origin = 1;
        entry.Tag = row->tag;
        entry.Name = row->name;
        entry.Desc = row->ShownName();
        entry.CodeList = row->code_list;
        entry.Format = static_cast<uint16_t>(type);
        entry.Raw = std::string(raw);
        entry.Text = context.SubRecordFlag ? rendered : text;
        AddTag(std::move(entry));
      }
    }
  } catch (const ReaderError& error) {
    // A broken maker note loses the rest of its own entries; the Exif walk goes on.
    Owner.ErrorText = std::string("Error Detected = ") + error.what();
  }
}

void TImageInfo::AddNamedTag(const std::string& name, const std::string& value) {
  if (BuildMode != BuildTagList && BuildMode != BuildAll) return;
  TTagEntry entry;
  entry.Origin = 1;
  entry.Name = name;
  entry.Desc = name;
  entry.Text = value;
  entry.Raw = value;
  entry.Size = static_cast<int32_t>(value.size());
  entry.Format = 2;
  // Named entries have no tag number of their own and are listed all the same.
  Tags.push_back(std::move(entry));
}

}  // namespace lumetra
