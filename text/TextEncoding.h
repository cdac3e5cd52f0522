#pragma once

#include <string>
#include <string_view>

namespace lumetra {

/// `bytes` as UTF-8 text: unchanged when they are valid UTF-8, otherwise each byte read as Latin-1.
/// Photo tags carry bytes in whatever code page the camera used; this is where they become text.
[[nodiscard]] std::string TextAsUtf8(std::string_view bytes);

/// The UTF-8 sequence starting at `bytes[pos]` (pos < size): its code point and its length in bytes, or
/// length 0 when it is malformed (overlong, a surrogate, past U+10FFFF, cut short). ASCII has length 1.
struct DecodedCharacter {
  char32_t code_point = 0;
  size_t length = 0;
};
[[nodiscard]] DecodedCharacter DecodeUtf8(std::string_view bytes, size_t pos);

/// True when `bytes` are well-formed UTF-8 (no overlong forms, surrogates or code points past U+10FFFF).
[[nodiscard]] bool IsValidUtf8(std::string_view bytes);

/// `text` with its control characters shown escaped, so that a name printed as one item stays on one line
/// and cannot reach a terminal as a control sequence: TAB, LF and CR as "\t", "\n", "\r", the other C0
/// bytes and DEL as "\x1b"-style escapes, and the C1 characters U+0080 to U+009F (UTF-8 C2 80 to C2 9F) as
/// "\u009b"-style escapes. Every other byte, valid UTF-8 or not, is kept.
[[nodiscard]] std::string EscapedControls(std::string_view text);

/// A to Z as a to z; every other byte as it is.
[[nodiscard]] constexpr char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
/// a to z as A to Z; every other byte as it is.
[[nodiscard]] constexpr char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
/// `text` with a to z as A to Z (camera makers, maker names); other characters unchanged.
[[nodiscard]] std::string UpperAscii(std::string_view text);
/// `text` with A to Z as a to z; other characters unchanged.
[[nodiscard]] std::string LowerAscii(std::string_view text);

}  // namespace lumetra
