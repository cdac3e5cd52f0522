#include "testing/NotePlacement.h"

#include <cstddef>
#include <stdexcept>

namespace lumetra::testing {
namespace {

constexpr size_t kTiffStart = 6;  // "Exif\0\0" before the TIFF header in an APP1 payload

}  // namespace

std::string PayloadWithNote(const Ifd0WithNote& ifd0, ByteOrder order, const NoteAt& note) {
  const std::string probe(note(0).size(), '\x5A');
  const size_t at = BuildExifPayload(ifd0(probe), order).find(probe);
  if (at == std::string::npos) throw std::invalid_argument("the photo does not hold its maker note");
  const std::string placed = note(static_cast<uint32_t>(at - kTiffStart));
  std::string payload = BuildExifPayload(ifd0(placed), order);
  if (payload.compare(at, placed.size(), placed) != 0) {
    throw std::invalid_argument("the maker note's size depends on where it stands");
  }
  return payload;
}

}  // namespace lumetra::testing
