#include "metadata/MakerNoteData.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "text/TextEncoding.h"

namespace lumetra {
namespace {

// Nikon's third layout: Exif 2.2 and later, or, in a TIFF-like file without an Exif version, a D-series
// model (the character after the model's first blank).
bool IsNikonType3(const MakerNoteHost& info) {
  if (info.VersionText > "0210") return true;
  if (!info.VersionText.empty() || !info.IsTiff) return false;
  const size_t blank = info.CameraModel.find(' ');
  const size_t after = blank == std::string::npos ? 0 : blank + 1;
  return after < info.CameraModel.size() && info.CameraModel[after] == 'D';
}

std::optional<MakerLayout> LayoutOf(const std::string& maker, const MakerNoteHost& info) {
  using Rule = MakerOffsetRule;
  if (maker == "NIKON") {
    if (IsNikonType3(info)) return MakerLayout{NikonTable2(), 18, Rule::kOwnTiffHeader, 0};
    if (info.MakerNoteRaw.starts_with("Nikon")) return MakerLayout{NikonTable1(), 8, Rule::kTiffHeader, 0};
    return MakerLayout{NikonTable2(), 0, Rule::kTiffHeader, 0};
  }
  if (maker == "OLYMP") {
    // Later notes start "OLYMPUS\0", a byte-order mark and a version; their offsets count from the note.
    const std::string_view note = info.MakerNoteRaw;
    if (note.size() > 12 && note.starts_with(std::string_view("OLYMPUS\0", 8))) {
      MakerLayout layout{OlympusTable2(), 12, Rule::kMakerNoteStart, 0};
      layout.little_endian = note.substr(8, 2) == "II";
      layout.big_endian = note.substr(8, 2) == "MM";
      layout.sub_directory_tag = 0x2010;
      layout.sub_table = OlympusEquipmentTable();
      return layout;
    }
    return MakerLayout{OlympusTable(), 8, Rule::kTiffHeader, 9};
  }
  if (maker == "CASIO") return MakerLayout{CasioTable(), 0, Rule::kTiffHeader, 0};
  if (maker == "FUJIF") return MakerLayout{FujifilmTable(), 12, Rule::kMakerNoteStart, 0, true};
  if (maker == "CANON") return MakerLayout{CanonTable(), 0, Rule::kTiffHeader, 0, false, true};
  if (maker == "SEIKO") return MakerLayout{SeikoTable(), 8, Rule::kTiffHeader, 0};
  if (maker == "SANYO") return MakerLayout{SanyoTable(), 8, Rule::kTiffHeader, 0};
  if (maker == "MINOL") return MakerLayout{MinoltaTable(), 0, Rule::kTiffHeader, 0};
  return std::nullopt;
}

}  // namespace

TmsInfo::TmsInfo(bool is_tiff, MakerNoteHost& image_info)
    : IsTiff(is_tiff), ImageInfo(image_info), MakerOffset(image_info.MakerNotePos + (is_tiff ? 16 : 0)) {}

bool TmsInfo::ProcessMakerNote() {
  const std::string maker = UpperAscii(ImageInfo.CameraMake.substr(0, 5));
  ImageInfo.Context().CurrentImageInfo = &ImageInfo;
  const std::optional<MakerLayout> layout = LayoutOf(maker, ImageInfo);
  if (!layout) return false;
  ImageInfo.ProcessMakerDirectory(ImageInfo.MakerNoteRaw, *layout, MakerOffset);
  return true;
}

}  // namespace lumetra
