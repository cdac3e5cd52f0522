#include "text/TextEncoding.h"

#include <cstdint>
#include <cstring>

namespace lumetra {

DecodedCharacter DecodeUtf8(std::string_view bytes, size_t pos) {
  const auto byte = [&bytes](size_t i) { return static_cast<uint8_t>(bytes[i]); };
  const uint8_t lead = byte(pos);
  if (lead < 0x80) return {lead, 1};
  size_t length = 0;
  char32_t code = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, code = lead & 0x1Fu, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code = lead & 0x0Fu, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code = lead & 0x07u, minimum = 0x10000;
  } else {
    return {};
  }
  if (length > bytes.size() - pos) return {};
  for (size_t k = 1; k < length; ++k) {
    if ((byte(pos + k) & 0xC0) != 0x80) return {};
    code = (code << 6) | (byte(pos + k) & 0x3Fu);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {};
  return {code, length};
}

bool IsValidUtf8(std::string_view bytes) {
  // Nearly every tag text is ASCII: eight bytes at a time are passed while none has its high bit set.
  size_t i = 0;
  for (; i + sizeof(uint64_t) <= bytes.size(); i += sizeof(uint64_t)) {
    uint64_t word = 0;
    std::memcpy(&word, bytes.data() + i, sizeof word);
    if ((word & 0x8080808080808080u) != 0) break;
  }
  while (i < bytes.size()) {
    if (static_cast<uint8_t>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    const size_t length = DecodeUtf8(bytes, i).length;
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string TextAsUtf8(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<uint8_t>(c);
    if (byte < 0x80) {
      text += c;
    } else {
      text += static_cast<char>(0xC0 | (byte >> 6));
      text += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return text;
}

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = UpperAscii(c);
  return upper;
}

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = LowerAscii(c);
  return lower;
}

std::string EscapedControls(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string escaped;
  escaped.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const bool c1 = byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                    static_cast<unsigned char>(text[i + 1]) <= 0x9F;
    if (c1) {
      const auto code = static_cast<unsigned char>(text[++i]);
      escaped.append("\\u00").push_back(kHex[code >> 4]);
      escaped.push_back(kHex[code & 0xF]);
    } else if (byte == '\t') {
      escaped.append("\\t");
    } else if (byte == '\n') {
      escaped.append("\\n");
    } else if (byte == '\r') {
      escaped.append("\\r");
    } else if (byte < 0x20 || byte == 0x7F) {
      escaped.append("\\x").push_back(kHex[byte >> 4]);
      escaped.push_back(kHex[byte & 0xF]);
    } else {
      escaped.push_back(static_cast<char>(byte));
    }
  }
  return escaped;
}

}  // namespace lumetra
