#include <gtest/gtest.h>

#include <string>

#include "metadata/ReaderError.h"
#include "metadata/TagTables.h"
#include "metadata/ValueRendering.h"
#include "tests/support/ExpectThrow.h"

namespace lumetra {
namespace {

// Bytes of one value in a byte order, most significant first as written here.
std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (const int v : values) bytes += static_cast<char>(v);
  return bytes;
}

TEST(FormatValue, RendersEachTypeByItsRules) {
  struct Case {
    const char* what;
    std::string raw;
    int type;
    const char* code_list;
    const char* format;
    bool big_endian;
    const char* expected;
  };
  const Case cases[] = {
      {"type 0 has no elements", "", 0, "", "", false, "0"},
      {"short, little-endian", Bytes({0x64, 0x00}), 3, "", "", false, "100"},
      {"short, big-endian", Bytes({0x00, 0x64}), 3, "", "", true, "100"},
      {"two shorts joined", Bytes({0x64, 0x00, 0xC8, 0x00}), 3, "", "", false, "100, 200"},
      {"2-byte elements are unsigned", Bytes({0xFF, 0xFF}), 8, "", "", false, "65535"},
      {"1-byte elements are unsigned", Bytes({0xFF}), 6, "", "", false, "255"},
      {"4-byte elements are signed", Bytes({0xFF, 0xFF, 0xFF, 0xFF}), 4, "", "", false, "-1"},
      {"code list decodes", Bytes({0x03, 0x00}), 3, "0:Other,1:Manual,3:Aperture", "", false, "Aperture"},
      {"code not in the list is empty", Bytes({0x09, 0x00}), 3, "0:Other,1:Manual", "", false, ""},
      {"rational not reduced", Bytes({10, 0, 0, 0, 0xE2, 4, 0, 0}), 5, "", "%s", false, "10/1250"},
      {"rational big-endian", Bytes({0, 0, 0, 1, 0, 0, 0, 125}), 5, "", "", true, "1/125"},
      {"signed rational", Bytes({0xFF, 0xFF, 0xFF, 0xFD, 0, 0, 0, 3}), 10, "", "", true, "-3/3"},
      {"unsigned rational above 2^31", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 1}), 5, "", "", true, "4294967295/1"},
      {"unsigned rational's ratio", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 1}), 5, "", "%0.1f", true, "4294967295.0"},
      {"unsigned denominator above 2^31", Bytes({0, 0, 0, 1, 0x80, 0, 0, 0}), 5, "", "%s", true, "1/2147483648"},
      {"%5.2f pads to five characters", Bytes({58, 0, 0, 0, 10, 0, 0, 0}), 5, "", "%5.2f", false, " 5.80"},
      {"%5.2f of a long value", Bytes({105, 0, 0, 0, 1, 0, 0, 0}), 5, "", "%5.2f", false, "105.00"},
      {"%0.1f", Bytes({28, 0, 0, 0, 10, 0, 0, 0}), 5, "", "%0.1f", false, "2.8"},
      {"zero denominator gives 0", Bytes({28, 0, 0, 0, 0, 0, 0, 0}), 5, "", "%0.1f", false, "0.0"},
      {"prefix in the format", Bytes({5, 0, 0, 0, 1, 0, 0, 0}), 5, "", "F%0.1f", false, "F5.0"},
      {"float elements", Bytes({0, 0, 0x80, 0x3F}), 11, "", "", false, "-9999.99"},
      {"ascii elements inside a list", "ab", 2, "", "", false, "?, ?"},
      {"short value cut to whole elements", Bytes({0x64, 0x00, 0x01}), 3, "", "", false, "100"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(FormatValue(c.raw, c.type, c.code_list, c.format, c.big_endian), c.expected);
  }
}

TEST(FormatValue, StopsAfter128Elements) {
  const std::string text = FormatValue(std::string(200, '\x07'), 1, "", "", false);
  EXPECT_EQ(std::count(text.begin(), text.end(), '7'), 128);
}

TEST(FormatValue, TypeAbove12Fails) {
  EXPECT_THROW(static_cast<void>(FormatValue("abcd", 13, "", "", false)), ReaderError);
}

TEST(NumericValue, ReadsTheValueOfEachType) {
  EXPECT_EQ(NumericValue(Bytes({0x00, 0x01}), 3, true), 1);
  // All bytes of a multi-element integer value read as one number.
  EXPECT_EQ(NumericValue(Bytes({0x00, 0x01, 0x00, 0x02}), 3, true), 65538);
  EXPECT_DOUBLE_EQ(NumericValue(Bytes({0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 9, 0, 0, 0, 1}), 5, true), 1.5);
  EXPECT_EQ(NumericValue(Bytes({0, 0, 0, 3, 0, 0, 0, 0}), 5, true), 0);
  EXPECT_EQ(NumericValue(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 1}), 5, true), 4294967295.0);
  EXPECT_EQ(NumericValue(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 1}), 10, true), -1.0);
  EXPECT_EQ(NumericValue("abc", 2, true), 0);
  EXPECT_EQ(NumericValue("abc", 7, true), 0);
  EXPECT_EQ(NumericValue(Bytes({0x3F, 0x80, 0, 0}), 11, true), 1.0);
}

TEST(NumericValue, NumeratorModeDropsThreeDigits) {
  // 3888000/876: the pixel count 3888 stands before the last three digits.
  EXPECT_EQ(NumericValue(Bytes({0x00, 0x3B, 0x53, 0x80, 0, 0, 0x03, 0x6C}), 5, true, true), 3888);
  EXPECT_EQ(NumericValue(Bytes({0xE8, 0x03, 0, 0, 1, 0, 0, 0}), 5, false, true), 1);
  testing::ExpectThrowWithMessage<ReaderError>(
      [] {
        static_cast<void>(NumericValue(Bytes({0x2C, 0x01, 0, 0, 1, 0, 0, 0}), 5, false, true));
      },
      "resolution numerator 300 has no pixel count");
}

TEST(DecodeCode, FindsOnlyCodesRightAfterAComma) {
  const char* list = "1:Monochrome, 2:RGB, 6:YCbCr";
  EXPECT_EQ(DecodeCode(list, "1"), "Monochrome");
  EXPECT_EQ(DecodeCode(list, "2"), "");
  EXPECT_EQ(DecodeCode(list, "6"), "");
  EXPECT_EQ(DecodeCode("0:Auto,1:Manual", " 1 "), "Manual");
  EXPECT_EQ(DecodeCode("0:Auto,10:Ten", "1"), "");
  EXPECT_EQ(DecodeCode("0:Auto,10:Ten", "10"), "Ten");
  // The edges of the list: its last item, an empty list, an item without text, a text holding a colon, an
  // empty code, and a code that only starts an item.
  EXPECT_EQ(DecodeCode("0:Auto,10:Ten", "0"), "Auto");
  EXPECT_EQ(DecodeCode("", "0"), "");
  EXPECT_EQ(DecodeCode("1:,2:Two", "1"), "");
  EXPECT_EQ(DecodeCode("1:a:b,2:Two", "1"), "a:b");
  EXPECT_EQ(DecodeCode(":None,1:One", ""), "None");
  EXPECT_EQ(DecodeCode("12:Twelve", "1"), "");
  EXPECT_EQ(DecodeCode("1", "1"), "");
}

TEST(MakePrintable, CutsTo50AndMasksControlCharacters) {
  EXPECT_EQ(MakePrintable(std::string("a\x01\tb\0c", 6)), "a..b.c");
  EXPECT_EQ(MakePrintable(std::string(60, 'x')), std::string(50, 'x'));
}

TEST(Renderers, TurnTextsIntoReadableValues) {
  struct Case {
    const char* what;
    TagRenderer renderer;
    std::string text;
    const char* expected;
  };
  const Case cases[] = {
      {"flash 0x10 is off", RenderFlash, "16", "Off"},
      {"flash 0x19 is on", RenderFlash, "25", "On"},
      {"shutter speed tv 8", RenderShutterSpeed, "8/1", "0.0039 sec (1/256)"},
      {"shutter speed of a second and more has no fraction", RenderShutterSpeed, "-1/1", "2.0000 sec"},
      {"half a second has its fraction", RenderShutterSpeed, "1/1", "0.5000 sec (1/2)"},
      {"components", RenderComponents, "\"\x01\x02\x03\"", "YCbCr"},
      {"components RGB", RenderComponents, "\"\x04\x05\x06\"", "RGB"},
      {"wide text", RenderWideText, "72, 0, 105, 0, 0, 0", "Hi"},
      {"wide text: the last field is never read", RenderWideText, "72, 0, 105", "H"},
      {"degrees with seconds from the minutes", RenderDegrees, "55/1, 4530/100, 0/1",
       "55 Degrees 45 Minutes 18 Seconds"},
      {"degrees with seconds", RenderDegrees, "37/1, 46/1, 3033/100", "37 Degrees 46 Minutes 30 Seconds"},
      {"time without leading zeros", RenderTime, "14/1, 5/1, 9/1", "14:5:9"},
      {"user comment prefix dropped", RenderUserComment, std::string("ASCII\0\0\0Hello", 13), "Hello"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.renderer(c.text), c.expected);
  }
}

TEST(Renderers, FailOnTextsTheyCannotRead) {
  struct Case {
    const char* what;
    TagRenderer renderer;
    std::string text;
    const char* message;
  };
  const Case cases[] = {
      {"flash of two elements", RenderFlash, "1, 0", "flash value '1, 0' is not one integer"},
      {"components too short", RenderComponents, "\"\"", "components value '\"\"' is too short"},
      {"wide text of words", RenderWideText, "a, b", "wide text element 'a' is not a number"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::ExpectThrowWithMessage<ReaderError>([&] { static_cast<void>(c.renderer(c.text)); }, c.message);
  }
}

TEST(Renderers, ShutterSpeedNeverFails) {
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"30/1", "0.0000 sec (1/1073741824)"},
      // 1/t beyond 32 bits.
      {"31/1", "0.0000 sec (1/2147483648)"},
      {"40/1", "0.0000 sec (1/1099511627776)"},
      {"62/1", "0.0000 sec (1/4611686018427387904)"},
      // 1/t beyond 64 bits, then infinite: no fraction.
      {"63/1", "0.0000 sec"},
      {"2000/1", "0.0000 sec"},
      {"2147483647/1", "0.0000 sec"},
      {"1/0", "1.0000 sec"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(RenderShutterSpeed(c.text), c.expected);
  }
}

TEST(RenderValue, AValueItsRendererCannotReadIsShownAsPrintableText) {
  struct Case {
    const char* what;
    uint16_t tag;
    std::string raw;
    int type;
    const char* expected;
  };
  const Case cases[] = {
      {"components 00 03 02 01", 0x9101, Bytes({0, 3, 2, 1}), 7, "\"\""},
      {"components 00 00 00 01", 0x9101, Bytes({0, 0, 0, 1}), 7, "\"\""},
      {"components of one byte", 0x9101, Bytes({1}), 7, "\".\""},
      {"components of three codes", 0x9101, Bytes({1, 2, 3, 0}), 7, "YCbCr"},
      {"flash of two elements", 0x9209, Bytes({16, 0, 0, 0}), 3, "16, 0"},
      {"flash of one element", 0x9209, Bytes({16, 0}), 3, "Off"},
      {"shutter speed 40/1", 0x9201, Bytes({40, 0, 0, 0, 1, 0, 0, 0}), 10, "0.0000 sec (1/1099511627776)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(RenderValue(c.raw, c.type, FindTableRow(c.tag, DirectoryKind::kMain), false), c.expected);
  }
}

TEST(RenderValue, AnAsciiValueEndsAtItsFirstZeroByte) {
  struct Case {
    const char* what;
    uint16_t tag;
    std::string raw;
    const char* expected;
  };
  const Case cases[] = {
      {"junk after the zero", 0x0110, std::string("CAM12\0X", 7), "CAM12"},
      {"zero padding", 0x010F, std::string("SONY\0\0\0", 7), "SONY"},
      {"a leading zero", 0x0110, std::string("\0CAM", 4), ""},
      {"control characters before the zero", 0x0110, std::string("A\tB\0C", 5), "A.B"},
      {"copyright keeps both notices", 0x8298, std::string("Ann\0Bob\0", 8), "Ann.Bob"},
      {"copyright without an editor", 0x8298, std::string("Ann\0\0", 5), "Ann."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(RenderValue(c.raw, 2, FindTableRow(c.tag, DirectoryKind::kMain), false), c.expected);
  }
}

TEST(RenderValue, AppliesTypeRulesThenRendererOrPrintable) {
  const TTagEntry& model = FindTableRow(0x0110, DirectoryKind::kMain);
  EXPECT_EQ(RenderValue(std::string("NIKON D70\0", 10), 2, model, false), "NIKON D70");
  // Without a terminating zero every character stays; with several zeros the text ends at the first.
  EXPECT_EQ(RenderValue("NIKON", 2, model, false), "NIKON");
  EXPECT_EQ(RenderValue(std::string("SONY\0\0\0", 7), 2, model, false), "SONY");
  EXPECT_EQ(RenderValue(std::string(60, 'M'), 2, model, false), std::string(50, 'M'));
  EXPECT_EQ(RenderValue(std::string("0221"), 7, FindTableRow(0x9000, DirectoryKind::kMain), false), "\"0221\"");
  EXPECT_EQ(RenderValue(std::string("ab\0cd", 5), 7, EmptyEntry(), false), "\"ab\"");
  // A code list acts on integer types only.
  const TTagEntry& program = FindTableRow(0x8822, DirectoryKind::kMain);
  EXPECT_EQ(RenderValue("3", 2, program, false), "3");
  EXPECT_EQ(RenderValue(Bytes({3, 0}), 3, program, false), "Aperture");
  EXPECT_EQ(RenderValue(Bytes({9, 0}), 3, program, false), "");
  EXPECT_EQ(RenderValue(Bytes({72, 0, 105, 0, 0, 0}), 1, FindTableRow(0x9C9B, DirectoryKind::kMain), false), "Hi");
}

// A selective read does not render what it does not list, but must fail where the rendering would.
TEST(CheckRenderable, FailsExactlyWhereRenderValueFails) {
  TTagEntry row;
  row.Tag = 0x9999;
  struct Case {
    const char* what;
    std::string raw;
    int type;
    const char* format;
  };
  const Case cases[] = {
      {"a whole-number format of a value beyond 32 bits", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0}), 5, "%d"},
      {"a whole-number format of a small value", Bytes({5, 0, 0, 0, 1, 0, 0, 0}), 5, "%d mm"},
      {"an unsupported conversion", Bytes({5, 0}), 3, "%x"},
      {"a decimal format", Bytes({5, 0, 0, 0, 1, 0, 0, 0}), 5, "%5.2f"},
      {"a text format", Bytes({0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 0, 0}), 5, "%s mm"},
      {"a whole-number format of ASCII", "12345678901", 2, "%d"},
      {"no format", Bytes({1, 2, 3, 4}), 7, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    row.FormatString = c.format;
    bool render_fails = false;
    try {
      static_cast<void>(RenderValue(c.raw, c.type, row, false));
    } catch (const ReaderError&) {
      render_fails = true;
    }
    bool check_fails = false;
    try {
      CheckRenderable(c.raw, c.type, row, false);
    } catch (const ReaderError&) {
      check_fails = true;
    }
    EXPECT_EQ(check_fails, render_fails);
  }
  row.FormatString = "%d";
  EXPECT_THROW(CheckRenderable(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0}), 5, row, false), ReaderError);
}

TEST(RenderValue, NamedTagTextsAsTheSurveyAsksForThem) {
  struct Case {
    uint16_t tag;
    std::string raw;
    int type;
    const char* expected;
  };
  const Case cases[] = {
      {0x0112, Bytes({1, 0}), 3, "Normal"},
      {0x0112, Bytes({3, 0}), 3, "Rotated 180\u00B0"},
      {0x0112, Bytes({6, 0}), 3, "CounterClockwise 90\u00B0"},
      {0x0112, Bytes({8, 0}), 3, "Clockwise 90\u00B0"},
      {0x0112, Bytes({2, 0}), 3, ""},
      {0x9207, Bytes({5, 0}), 3, "MultiSegment"},
      {0x9207, Bytes({255, 0}), 3, ""},
      {0x8827, Bytes({100, 0, 200, 0}), 3, "100, 200"},
      {0x0106, Bytes({2, 0}), 3, ""},
      {0x0106, Bytes({1, 0}), 3, "Monochrome"},
      {0xA405, Bytes({75, 0}), 3, "75.00"},
      {0x829A, Bytes({10, 0, 0, 0, 0xE2, 4, 0, 0}), 5, "10/1250"},
      {0x829A, Bytes({30, 0, 0, 0, 1, 0, 0, 0}), 5, "30/1"},
      {0x829D, Bytes({11, 0, 0, 0, 1, 0, 0, 0}), 5, "11.0"},
      {0x920A, Bytes({50, 0, 0, 0, 1, 0, 0, 0}), 5, "50.00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    EXPECT_EQ(RenderValue(c.raw, c.type, FindTableRow(c.tag, DirectoryKind::kMain), false), c.expected);
  }
}

TEST(RenderValueInto, ReplacesWhateverTheKeptTextHeld) {
  // A reader kept from file to file renders into strings that hold an earlier value: each case is rendered
  // after longer and after shorter texts, and must leave nothing of them.
  struct Case {
    const char* what;
    uint16_t tag;
    std::string raw;
    int type;
    const char* expected;
  };
  const Case cases[] = {
      {"ascii up to its zero", 0x0110, std::string("NIKON D70\0\0", 11), 2, "NIKON D70"},
      {"undefined quoted", 0x9000, "0221", 7, "\"0221\""},
      {"type 0", 0x0112, "", 0, "0"},
      {"code list", 0x0112, Bytes({6, 0}), 3, "CounterClockwise 90\u00B0"},
      {"code not in the list", 0x8822, Bytes({9, 0}), 3, ""},
      {"number format", 0x829D, Bytes({11, 0, 0, 0, 1, 0, 0, 0}), 5, "11.0"},
      {"text put into its format", 0x829A, Bytes({10, 0, 0, 0, 0xE2, 4, 0, 0}), 5, "10/1250"},
      {"renderer", 0x9209, Bytes({1, 0}), 3, "On"},
      {"renderer's long text", 0x9201, Bytes({8, 0, 0, 0, 1, 0, 0, 0}), 10, "0.0039 sec (1/256)"},
      {"renderer fails: printable", 0x9101, Bytes({1, 2}), 7, "\"..\""},
      {"cut to 50", 0x0110, std::string(60, 'M'), 2, "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM"},
  };
  std::string text(80, 'x');
  for (const bool backwards : {false, true}) {
    for (size_t k = 0; k < std::size(cases); ++k) {
      const Case& c = cases[backwards ? std::size(cases) - 1 - k : k];
      SCOPED_TRACE(c.what);
      const TTagEntry& row = FindTableRow(c.tag, DirectoryKind::kMain);
      RenderValueInto(text, c.raw, c.type, row, false);
      EXPECT_EQ(text, c.expected);
      EXPECT_EQ(RenderValue(c.raw, c.type, row, false), c.expected);
    }
  }
  FormatValueInto(text, Bytes({50, 0, 0, 0, 1, 0, 0, 0}), 5, "", "%s mm", false);
  EXPECT_EQ(text, "50/1 mm");
  FormatValueInto(text, Bytes({1, 0, 2, 0}), 3, "1:One,2:Two", "(%s)", false);
  EXPECT_EQ(text, "(One, Two)");
}

TEST(TagTables, HoldEveryRowWithDescriptions) {
  ASSERT_FALSE(GpsTagTable().empty());
  EXPECT_EQ(MainTagTable().back().Name, "Unknown");
  EXPECT_EQ(MainTagTable().back().Tag, 0);
  for (size_t i = 1; i + 1 < MainTagTable().size(); ++i) {
    EXPECT_LE(MainTagTable()[i - 1].Tag, MainTagTable()[i].Tag) << MainTagTable()[i].Name;
  }
  EXPECT_EQ(FindTableRow(0x829A, DirectoryKind::kMain).Desc, "Exposure Time");
  EXPECT_EQ(FindTableRow(0x8827, DirectoryKind::kMain).Desc, "ISOSpeed Ratings");
  EXPECT_EQ(FindTableRow(0x0124, DirectoryKind::kMain).Desc, "T4 Options");
  EXPECT_EQ(FindTableRow(0x829D, DirectoryKind::kMain).Desc, "FNumber");
  EXPECT_EQ(FindTableRow(0xA405, DirectoryKind::kMain).Desc, "Focal Length in 35mm Film");
  EXPECT_EQ(FindTableRow(0x02, DirectoryKind::kGps).Desc, "GPSLatitude");
}

TEST(TagTables, FindTableRowLooksInTheTableOfTheKind) {
  EXPECT_EQ(FindTableRow(0x0002, DirectoryKind::kMain).Name, "InteroperabilityVersion");
  EXPECT_EQ(FindTableRow(0x0002, DirectoryKind::kGps).Name, "GPSLatitude");
  EXPECT_EQ(FindTableRow(0x0000, DirectoryKind::kMain).Tag, 0);
  EXPECT_TRUE(FindTableRow(0x0000, DirectoryKind::kMain).Name.empty());
  EXPECT_EQ(FindTableRow(0x0000, DirectoryKind::kGps).Name, "GPSVersionID");
  EXPECT_TRUE(FindTableRow(0x1234, DirectoryKind::kMain).Name.empty());
  EXPECT_TRUE(FindTableRow(0x1F, DirectoryKind::kGps).Name.empty());
}

TEST(BuildDescription, SplitsNamesAtCapitals) {
  EXPECT_EQ(BuildDescription("ExposureTime"), "Exposure Time");
  EXPECT_EQ(BuildDescription("ISOSpeedRatings"), "ISOSpeed Ratings");
  EXPECT_EQ(BuildDescription("T4Options"), "T4 Options");
  EXPECT_EQ(BuildDescription("FNumber"), "FNumber");
  EXPECT_EQ(BuildDescription("GPSDestBearingkRef"), "GPSDest Bearingk Ref");
}

}  // namespace
}  // namespace lumetra
