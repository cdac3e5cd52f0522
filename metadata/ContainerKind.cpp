#include "metadata/ContainerKind.h"

#include <algorithm>
#include <array>
#include <string>

#include "metadata/ByteSource.h"
#include "metadata/EndianReader.h"

namespace lumetra {
namespace {

using namespace std::string_view_literals;

struct TiffSignature {
  std::string_view bytes;
  bool big_endian;
  TiffMagic magic;
};

// The first four bytes of a TIFF structure. Olympus writes "RO" (and "RS" in some models) where 42 stands;
// Panasonic writes 0x55.
constexpr std::array kTiffSignatures{
    TiffSignature{"II*\0"sv, false, TiffMagic::kStandard}, TiffSignature{"MM\0*"sv, true, TiffMagic::kStandard},
    TiffSignature{"IIRO"sv, false, TiffMagic::kOlympus},   TiffSignature{"IIRS"sv, false, TiffMagic::kOlympus},
    TiffSignature{"MMOR"sv, true, TiffMagic::kOlympus},    TiffSignature{"IIU\0"sv, false, TiffMagic::kPanasonic},
};

constexpr std::string_view kRafSignature = "FUJIFILMCCD-RAW "sv;

// Brands of the HEIF family that carry still images, AVIF's included.
constexpr std::array kImageBrands{"heic"sv, "heix"sv, "heim"sv, "heis"sv, "hevc"sv, "hevx"sv, "hevm"sv,
                                  "hevs"sv, "mif1"sv, "mif2"sv, "msf1"sv, "avif"sv, "avis"sv, "avio"sv};
constexpr std::string_view kCanonRawBrand = "crx "sv;

// The brands of a leading `ftyp` box: the major brand, then the compatible ones (the minor version between
// them is skipped). Brands beyond `head` are not looked at.
ContainerKind KindOfBrands(std::string_view head) {
  if (head.size() < 16 || head.substr(4, 4) != "ftyp"sv) return ContainerKind::kUnknown;
  const uint64_t box_size = ReadUnsignedInOrder(head.substr(0, 4), true);
  if (box_size < 16) return ContainerKind::kUnknown;
  const std::string_view box = head.substr(0, std::min<size_t>(box_size, head.size()));
  bool image = false;
  for (size_t pos = 8; box.size() - pos >= 4; pos += pos == 8 ? 8 : 4) {
    const std::string_view brand = box.substr(pos, 4);
    if (brand == kCanonRawBrand) return ContainerKind::kCr3;
    image = image || std::find(kImageBrands.begin(), kImageBrands.end(), brand) != kImageBrands.end();
  }
  return image ? ContainerKind::kIsoMediaImage : ContainerKind::kUnknown;
}

}  // namespace

std::optional<TiffHeader> ParseTiffHeader(std::string_view bytes) {
  if (bytes.size() < 8) return std::nullopt;
  for (const TiffSignature& signature : kTiffSignatures) {
    if (bytes.substr(0, 4) != signature.bytes) continue;
    const auto offset = static_cast<uint32_t>(ReadUnsignedInOrder(bytes.substr(4, 4), signature.big_endian));
    return TiffHeader{signature.big_endian, signature.magic, offset};
  }
  return std::nullopt;
}

Container SniffContainer(std::string_view head) {
  if (head.size() >= 2 && head.substr(0, 2) == "\xFF\xD8"sv) return {ContainerKind::kJpeg, {}};
  if (const std::optional<TiffHeader> tiff = ParseTiffHeader(head)) return {ContainerKind::kTiff, *tiff};
  if (head.substr(0, kRafSignature.size()) == kRafSignature) return {ContainerKind::kRaf, {}};
  return {KindOfBrands(head), {}};
}

Container SniffContainer(PositionedSource& source) {
  std::string head(kSniffBytes, '\0');
  head.resize(source.ReadAt(0, head.data(), head.size()));
  return SniffContainer(head);
}

}  // namespace lumetra
