// UTF-8 checks and decoding, bytes from photos as text, and the lines of the program's own files.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "text/TextEncoding.h"
#include "text/TextLines.h"

namespace lumetra {
namespace {

using namespace std::string_view_literals;

// The first character of each text: its code point and length, length 0 when it is malformed.
TEST(DecodeUtf8, ReadsEachLengthAndRefusesMalformedSequences) {
  const struct {
    const char* what;
    std::string_view bytes;
    char32_t code_point;
    size_t length;
  } cases[] = {
      {"ASCII", "A", U'A', 1},
      {"two bytes", "\xD0\x96", U'Ж', 2},
      {"three bytes", "\xE2\x84\x96", U'№', 3},
      {"four bytes", "\xF0\x9F\x93\xB7", U'\U0001F4F7', 4},
      {"the last code point", "\xF4\x8F\xBF\xBF", U'\U0010FFFF', 4},
      {"overlong slash", "\xC0\xAF", 0, 0},
      {"overlong three-byte form", "\xE0\x80\xAF", 0, 0},
      {"surrogate", "\xED\xA0\x80", 0, 0},
      {"past U+10FFFF", "\xF4\x90\x80\x80", 0, 0},
      {"continuation byte first", "\x80", 0, 0},
      {"cut short", "\xE2\x84", 0, 0},
      {"lead byte followed by ASCII",
       "\xD0"
       "A",
       0, 0},
      {"five-byte lead", "\xF8\x88\x80\x80\x80", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const DecodedCharacter decoded = DecodeUtf8(c.bytes, 0);
    EXPECT_EQ(decoded.length, c.length);
    if (c.length != 0) {
      EXPECT_EQ(decoded.code_point, c.code_point);
    }
    EXPECT_EQ(IsValidUtf8(c.bytes), c.length == c.bytes.size());
  }
}

// Valid UTF-8 is kept byte for byte; anything else is read as Latin-1 as a whole, so that a camera's
// code page never mixes with UTF-8 in one text.
TEST(TextAsUtf8, KeepsUtf8AndReadsEverythingElseAsLatin1) {
  const struct {
    const char* what;
    std::string_view bytes;
    std::string_view text;
  } cases[] = {
      {"ASCII", "Canon EOS 5D", "Canon EOS 5D"},
      {"empty", "", ""},
      {"UTF-8 kept", "Объектив", "Объектив"},
      {"Latin-1 e acute", "Caf\xE9", "Café"},
      {"one bad byte turns the whole text Latin-1", "\xC3\xA9 \xFF", "Ã© ÿ"},
      {"a zero byte stays", "a\0b"sv, "a\0b"sv},
      // Long ASCII runs are passed eight bytes at a time: what follows them is still looked at.
      {"Latin-1 after sixteen ASCII bytes", "Nikon D800 Lens Caf\xE9", "Nikon D800 Lens Café"},
      {"UTF-8 after sixteen ASCII bytes", "Nikon D800 Lens Объектив", "Nikon D800 Lens Объектив"},
      {"a character across eight-byte words", "1234567\xD0\x96 and more text", "1234567Ж and more text"},
      {"a lead byte cut short after eight ASCII bytes", "12345678\xD0", "12345678Ð"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(TextAsUtf8(c.bytes), c.text);
    EXPECT_TRUE(IsValidUtf8(TextAsUtf8(c.bytes)));
  }
}

TEST(AsciiCase, ChangesOnlyTheLatinLetters) {
  EXPECT_EQ(UpperAscii("Nikon corp. é ж [z]"), "NIKON CORP. é ж [Z]");
  EXPECT_EQ(LowerAscii("NIKON CORP. É Ж @A"), "nikon corp. É Ж @a");
}

// CR LF and LF files read the same; a lone CR inside a line stays in it.
TEST(SplitLines, CutsAtLineFeedsAndDropsTheCarriageReturnBefore) {
  const struct {
    const char* what;
    std::string_view text;
    std::vector<std::string_view> lines;
  } cases[] = {
      {"empty file", "", {}},
      {"CR LF lines", "a\r\nb\r\n", {"a", "b"}},
      {"LF lines", "a\nb\n", {"a", "b"}},
      {"mixed", "a\r\nb\nc\r\n", {"a", "b", "c"}},
      {"last line without a line end", "a\r\nb", {"a", "b"}},
      {"empty lines kept", "\r\n\r\nx\n\n", {"", "", "x", ""}},
      {"only one CR dropped", "a\r\r\n", {"a\r"}},
      {"a CR alone does not end a line", "a\rb\r\n", {"a\rb"}},
      {"a CR ending the last line is dropped too", "a\r", {"a"}},
      {"one line feed", "\n", {""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(SplitLines(c.text), c.lines);
  }
}

}  // namespace
}  // namespace lumetra
