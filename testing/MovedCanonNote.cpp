#include "testing/MovedCanonNote.h"

#include <cstddef>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "testing/JpegWriter.h"

namespace lumetra::testing {
namespace {

constexpr size_t kTiffStart = 6;  // "Exif\0\0" before the TIFF header in an APP1 payload
constexpr size_t kSettingsSize = 33;
constexpr int64_t kForeignShift = 16;

ByteOrder Other(ByteOrder order) { return order == ByteOrder::kLittle ? ByteOrder::kBig : ByteOrder::kLittle; }

// The note as the camera wrote it at TIFF offset `written`.
std::string CanonNote(const MovedCanonPhoto& photo, int64_t written) {
  std::vector<uint16_t> settings(kSettingsSize, 0);
  settings[0] = static_cast<uint16_t>(kSettingsSize * 2);  // the record's byte count, as cameras write it
  settings[5] = photo.drive_mode;
  settings[7] = photo.focus_mode;
  settings[23] = photo.long_focal;
  settings[24] = photo.short_focal;
  settings[25] = 1;
  Ifd directory;
  directory.Short(0x0001, settings).Ascii(0x0006, "IMG:EOS 40D JPEG");
  std::string note = BuildMakerNote(directory, photo.order, "", written);
  if (photo.trailer != CanonTrailer::kNone) {
    const ByteOrder order = photo.trailer == CanonTrailer::kSameOrder ? photo.order : Other(photo.order);
    ByteWriter trailer(order);
    trailer.PutBytes(order == ByteOrder::kLittle ? std::string_view("II*\0", 4) : std::string_view("MM\0*", 4));
    // A foreign trailer names another place, so that honouring it would shift the note's values.
    const int64_t named = photo.trailer == CanonTrailer::kSameOrder ? written : written + kForeignShift;
    trailer.Put32(static_cast<uint32_t>(named));
    note += trailer.str();
  }
  return note;
}

std::string Payload(const MovedCanonPhoto& photo, const std::string& note) {
  Ifd exif;
  exif.Rationals(0x829A, {{1, 60}})
      .Rationals(0x829D, {{56, 10}})
      .Undefined(0x927C, note)
      .Short(0x9207, {5})
      .Short(0x9209, {16})
      .Rationals(0x920A, {{35, 1}});
  Ifd ifd0;
  ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS 40D").Sub(0x8769, exif);
  return BuildExifPayload(ifd0, photo.order);
}

// The note's size does not depend on its offsets, so a stand-in of the same size shows where it lands.
size_t NotePosition(const MovedCanonPhoto& photo) {
  const std::string probe(CanonNote(photo, 0).size(), '\x5A');
  return Payload(photo, probe).find(probe);
}

}  // namespace

uint32_t MovedCanonNoteOffset(const MovedCanonPhoto& photo) {
  return static_cast<uint32_t>(NotePosition(photo) - kTiffStart);
}

std::string BuildMovedCanonExif(const MovedCanonPhoto& photo) {
  const int64_t written = static_cast<int64_t>(MovedCanonNoteOffset(photo)) - photo.moved_by;
  if (written < 0) {
    throw std::invalid_argument("a Canon note moved this far would have been written before the TIFF header");
  }
  return Payload(photo, CanonNote(photo, written));
}

std::string BuildMovedCanonPhoto(const MovedCanonPhoto& photo) {
  return BuildJpeg({Segment{0xE1, BuildMovedCanonExif(photo), std::nullopt}});
}

}  // namespace lumetra::testing
