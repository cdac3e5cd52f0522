// Writes the small seed inputs committed under fuzz/seeds/: photos, TIFF files, APP13 segments and crop
// files made by the fixture writers, so that each target starts from well-formed structures of its own.
// Usage: lumetra-fuzz-fixture-seeds <seeds folder>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "crop/CropStore.h"
#include "testing/DemoFolder.h"
#include "testing/ExifWriter.h"
#include "testing/FaultPhotos.h"
#include "testing/IsoMediaWriter.h"
#include "testing/JpegWriter.h"
#include "testing/MovedCanonNote.h"

namespace {

using lumetra::testing::BuildJpeg;
using lumetra::testing::BuildMakerNote;
using lumetra::testing::BuildTiff;
using lumetra::testing::ByteOrder;
using lumetra::testing::Ifd;
using lumetra::testing::Segment;

// The datasets of an IPTC resource block: marker 0x1C, record, dataset, 16-bit length, text.
std::string Dataset(int record, int dataset, const std::string& text) {
  std::string bytes{'\x1C', static_cast<char>(record), static_cast<char>(dataset), static_cast<char>(text.size() >> 8),
                    static_cast<char>(text.size() & 0xFF)};
  return bytes.append(text);
}

// An APP13 payload as image editors write it: "Photoshop 3.0", then one IPTC resource block.
std::string PhotoshopPayload(const std::string& datasets) {
  std::string payload(
      "Photoshop 3.0\0"
      "8BIM\x04\x04\0\0",
      22);
  const size_t size = datasets.size();
  for (const int shift : {24, 16, 8, 0}) payload += static_cast<char>(size >> shift & 0xFF);
  payload.append(datasets);
  if (size % 2 != 0) payload += '\0';
  return payload;
}

// A Nikon note with its own TIFF header, whose offsets count from that header wherever the note stands.
std::string NikonNote(ByteOrder order) {
  Ifd directory;
  directory.Ascii(0x0004, "FINE   ").Short(0x0087, {0}).Ascii(0x0095, "OFF").Short(0x00A7, {1234});
  const std::string tiff_header =
      order == ByteOrder::kLittle ? std::string("II*\0\x08\0\0\0", 8) : std::string("MM\0*\0\0\0\x08", 8);
  return BuildMakerNote(directory, order, std::string("Nikon\0\x02\x10\0\0", 10) + tiff_header, -10);
}

void Write(const std::filesystem::path& file, const std::string& bytes) {
  lumetra::testing::WriteFileBytes(file, bytes);
  std::printf("%s (%zu bytes)\n", file.c_str(), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <seeds folder>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path seeds = argv[1];
  const std::string iptc_payload =
      PhotoshopPayload(Dataset(2, 0, "\x00\x04") + Dataset(2, 25, "sea") + Dataset(2, 25, "sun") +
                       Dataset(2, 90, "Mainz") + Dataset(2, 120, "A caption") + Dataset(8, 10, "x"));

  // The demo folder's first photo of each make and its first with GPS: both byte orders, GPS and
  // interoperability directories.
  std::set<std::string> makes;
  bool gps_taken = false;
  for (const lumetra::testing::DemoPhoto& photo : lumetra::testing::DemoPhotos()) {
    if (!photo.has_exif) continue;
    const bool new_make = makes.insert(photo.make).second;
    const bool first_gps = photo.gps && !gps_taken;
    if (!new_make && !first_gps) continue;
    gps_taken = gps_taken || photo.gps.has_value();
    const Ifd ifd0 = lumetra::testing::DemoExifIfd(photo);
    const std::string name = "demo-" + std::filesystem::path(photo.path).stem().string();
    Write(seeds / "jpeg_reader" / (name + ".jpg"),
          BuildJpeg({lumetra::testing::JfifSegment(), lumetra::testing::ExifSegment(ifd0, photo.order)}));
    Write(seeds / "tiff_reader" / (name + ".tif"), BuildTiff(ifd0, photo.order));
  }

  // A Nikon photo with a maker note, an IPTC segment and a comment.
  for (const ByteOrder order : {ByteOrder::kLittle, ByteOrder::kBig}) {
    Ifd exif;
    exif.Undefined(0x9000, "0221")
        .Rationals(0x829A, {{1, 250}})
        .Rationals(0x829D, {{56, 10}})
        .Short(0x8827, {200})
        .Rationals(0x920A, {{500, 10}})
        .Undefined(0x927C, NikonNote(order));
    Ifd ifd0;
    ifd0.Ascii(0x010F, "NIKON CORPORATION").Ascii(0x0110, "NIKON D90").Sub(0x8769, exif);
    const std::string name = order == ByteOrder::kLittle ? "nikon-note-ii" : "nikon-note-mm";
    Write(seeds / "jpeg_reader" / (name + ".jpg"),
          BuildJpeg({lumetra::testing::ExifSegment(ifd0, order), Segment{0xED, iptc_payload, std::nullopt},
                     Segment{0xFE, "a comment", std::nullopt}}));
    Write(seeds / "tiff_reader" / (name + ".tif"), BuildTiff(ifd0, order));
  }

  // Photos whose values the reader once lost: an entry its renderer could not read, a model with bytes
  // after its terminating zero, a shutter speed beyond 32 bits, a Canon maker note an editor moved.
  for (const lumetra::testing::FaultPhoto& photo : lumetra::testing::FaultPhotos()) {
    Write(seeds / "jpeg_reader" / (photo.name + ".jpg"), lumetra::testing::FaultPhotoJpeg(photo.ifd0, photo.order));
  }
  Write(seeds / "jpeg_reader" / "fault-canon-note-moved.jpg",
        lumetra::testing::BuildMovedCanonPhoto({.moved_by = -40}));

  // HEIF files in the iloc layouts the locator reads, a CR3 file with Canon's four TIFF boxes, RAF files.
  {
    Ifd exif;
    exif.Rationals(0x829A, {{1, 120}})
        .Rationals(0x829D, {{18, 10}})
        .Short(0x8827, {25})
        .Rationals(0x920A, {{399, 100}});
    Ifd ifd0;
    ifd0.Ascii(0x010F, "Apple").Ascii(0x0110, "iPhone 7").Short(0x0112, {6}).Sub(0x8769, exif);
    const std::string tiff = BuildTiff(ifd0, ByteOrder::kBig);
    using lumetra::testing::HeifLayout;
    const std::pair<const char*, HeifLayout> layouts[] = {
        {"heic-iloc1.heic", {}},
        {"heic-iloc0.heic", {.iloc_version = 0}},
        {"heic-iloc2-wide.heic", {.iloc_version = 2, .offset_size = 8, .length_size = 8, .exif_item_id = 70000}},
        {"heic-two-extents-base.heic", {.base_offset_size = 4, .index_size = 4, .extents = 2}},
        {"heic-idat.heic", {.in_idat = true}},
        {"avif.avif", {.major_brand = "avif"}},
    };
    for (const auto& [name, layout] : layouts) {
      Write(seeds / "iso_media" / name, lumetra::testing::BuildHeif(tiff, layout));
    }
    Write(seeds / "iso_media" / "heic-no-exif.heic", lumetra::testing::BuildHeif(std::nullopt));
    Ifd cr3_ifd0;
    cr3_ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS M50");
    Ifd cr3_exif;
    cr3_exif.Rationals(0x829A, {{1, 60}}).Short(0x8827, {800});
    Ifd cr3_gps;
    cr3_gps.Byte(0x0000, {2, 3, 0, 0}).Ascii(0x0001, "N");
    Write(seeds / "iso_media" / "canon.cr3",
          lumetra::testing::BuildCr3({{"CMT1", BuildTiff(cr3_ifd0, ByteOrder::kLittle)},
                                      {"CMT2", BuildTiff(cr3_exif, ByteOrder::kLittle)},
                                      {"CMT3", BuildTiff(Ifd().Short(0x0001, {0}), ByteOrder::kLittle)},
                                      {"CMT4", BuildTiff(cr3_gps, ByteOrder::kLittle)}}));

    Ifd fuji;
    fuji.Ascii(0x010F, "FUJIFILM").Ascii(0x0110, "FinePix S5Pro").Sub(0x8769, exif);
    const std::string jpeg = BuildJpeg({lumetra::testing::ExifSegment(fuji, ByteOrder::kLittle)});
    Write(seeds / "raf" / "fujifilm.raf", lumetra::testing::BuildRaf(jpeg));
    Write(seeds / "raf" / "jpeg-past-the-end.raf", lumetra::testing::BuildRaf(jpeg, 0x7FFFFFF0));
  }

  // APP13 data as the reader keeps it: the two length bytes, then the payload.
  const size_t length = iptc_payload.size() + 2;
  Write(seeds / "iptc" / "photoshop-keywords",
        std::string{static_cast<char>(length >> 8), static_cast<char>(length & 0xFF)} + iptc_payload);

  // Crop files: the built-in list as a new file holds it, and lines of each kind the loader meets.
  std::string table;
  for (const lumetra::CropTableRow& row : lumetra::DefaultCropTable) {
    table.append(row.Make).append("\t").append(row.Model).append("\t").append(row.Factor).append("\t\r\n");
  }
  Write(seeds / "crop_file" / "built-in-list", table);
  Write(seeds / "crop_file" / "hand-made-lines",
        "\xEF\xBB\xBF"
        "Canon\tCanon EOS 7D\t1,6\r\n"
        "\r\n"
        "NIKON CORPORATION\tNIKON D90\t 1.5e0 \textra\n"
        "no tabs here\n"
        "Caf\xE9\t\xD0\x9A\xD0\xB8\xD0\xB5\xD0\xB2\t100\r\n"
        "Sony\tDSC\t0\n"
        "Sony\tDSC\t-1.5\n"
        "Olympus\tE-M1\t2.00000000000000001\n");
  return 0;
}
