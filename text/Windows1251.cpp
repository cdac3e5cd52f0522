#include "text/Windows1251.h"

#include <array>
#include <cstdint>

#include "text/TextEncoding.h"

namespace lumetra {
namespace {

// The code points of bytes 0x80 to 0xBF; 0 where the page has no character. Bytes 0xC0 to 0xFF are
// U+0410 to U+044F in order.
constexpr std::array<char32_t, 64> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0,      0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

char Encode(char32_t code_point) {
  if (code_point < 0x80) return static_cast<char>(code_point);
  if (code_point >= 0x0410 && code_point <= 0x044F) return static_cast<char>(0xC0 + (code_point - 0x0410));
  for (size_t i = 0; i < kHighHalf.size(); ++i) {
    if (kHighHalf[i] == code_point) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

std::string Utf8ToWindows1251(std::string_view text) {
  std::string encoded;
  encoded.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    const DecodedCharacter character = DecodeUtf8(text, pos);
    encoded.push_back(character.length == 0 ? '?' : Encode(character.code_point));
    pos += character.length == 0 ? 1 : character.length;
  }
  return encoded;
}

}  // namespace lumetra
