// The lens text composed from a lens's focal and aperture numbers, and the readers of the texts the
// reader renders them as.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "survey/LensName.h"

namespace lumetra {
namespace {

TEST(LensRangeText, ComposesOneTextFromTheFourNumbers) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double infinity = std::numeric_limits<double>::infinity();
  struct Case {
    const char* what;
    LensRange range;
    const char* text;
  };
  const Case cases[] = {
      {"zoom", {18, 70, 3.5, 4.5}, "18-70mm f/3.5-4.5"},
      {"prime", {50, 50, 1.8, 1.8}, "50mm f/1.8"},
      {"zoom of one aperture", {17, 35, 2.8, 2.8}, "17-35mm f/2.8"},
      {"unknown aperture", {7, 21, 0, 0}, "7-21mm"},
      {"one aperture unknown", {24, 70, 2.8, 0}, "24-70mm"},
      {"whole numbers lose their decimals", {6, 72, 2.8, 5.6}, "6-72mm f/2.8-5.6"},
      {"one decimal kept", {5.8, 23.2, 2.8, 4.9}, "5.8-23.2mm f/2.8-4.9"},
      {"more decimals rounded to one", {5.40625, 16.21875, 2.8, 4.9}, "5.4-16.2mm f/2.8-4.9"},
      {"ends equal once rounded collapse", {400, 400.02, 5.6, 5.64}, "400mm f/5.6"},
      {"prime without aperture", {17, 17, 0, 0}, "17mm"},
      {"zeros", {0, 0, 0, 0}, ""},
      {"no short end", {0, 55, 3.5, 5.6}, ""},
      {"no long end", {18, 0, 3.5, 5.6}, ""},
      {"short above long", {55, 18, 3.5, 5.6}, ""},
      {"below a tenth of a millimetre", {0.04, 0.04, 2, 2}, ""},
      {"Canon's unknown focal length", {0, 65535, 0, 0}, ""},
      {"longer than any lens", {18, 65535, 3.5, 5.6}, ""},
      {"negative", {-18, 55, 3.5, 5.6}, ""},
      {"not a number", {nan, 55, 3.5, 5.6}, ""},
      {"infinite", {18, infinity, 3.5, 5.6}, ""},
      {"aperture narrower at the short end", {18, 55, 5.6, 3.5}, "18-55mm"},
      {"f/0", {18, 55, 0, 5.6}, "18-55mm"},
      {"aperture not a number", {18, 55, nan, 5.6}, "18-55mm"},
      {"aperture beyond any lens", {18, 55, 3.5, 1000}, "18-55mm"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(LensRangeText(c.range), c.text);
  }
}

TEST(LensRangeReaders, ReadTheRenderedTextsOfEachSource) {
  struct Case {
    const char* what;
    LensRange range;
    const char* text;
  };
  const Case cases[] = {
      {"LensSpecification", RangeFromFractions("18/1, 55/1, 35/10, 56/10"), "18-55mm f/3.5-5.6"},
      {"LensSpecification of a prime", RangeFromFractions("415/100, 415/100, 22/10, 22/10"), "4.2mm f/2.2"},
      {"zero denominators: an unknown aperture", RangeFromFractions("24/1, 70/1, 0/0, 0/0"), "24-70mm"},
      {"zero denominators everywhere", RangeFromFractions("0/0, 0/0, 0/0, 0/0"), ""},
      {"three fractions", RangeFromFractions("18/1, 55/1, 35/10"), ""},
      {"no fractions", RangeFromFractions(""), ""},
      {"Nikon", RangeFromNikonLensText("18.0-70.0(mm)  F3.5-F4.5"), "18-70mm f/3.5-4.5"},
      {"Nikon without a CPU lens", RangeFromNikonLensText("0.0-0.0(mm)  F0.0-F0.0"), ""},
      {"Nikon without aperture", RangeFromNikonLensText("50.0-50.0(mm)  F0.0-F0.0"), "50mm"},
      {"Nikon text cut short", RangeFromNikonLensText("18.0-70.0"), ""},
      {"Canon in millimetres", RangeFromCanonFocals(" 18", " 55", " 1"), "18-55mm"},
      {"Canon in 1/32 mm", RangeFromCanonFocals(" 173", " 519", " 32"), "5.4-16.2mm"},
      {"Canon in micrometres", RangeFromCanonFocals(" 6100", " 30500", " 1000"), "6.1-30.5mm"},
      {"Canon without units", RangeFromCanonFocals(" 7", " 21", ""), "7-21mm"},
      {"Canon with units 0", RangeFromCanonFocals(" 7", " 21", " 0"), "7-21mm"},
      {"Canon that does not know", RangeFromCanonFocals(" 0", " 65535", " 1"), ""},
      {"Canon without focal lengths", RangeFromCanonFocals("", "", ""), ""},
      {"Olympus zoom", RangeFromOlympusEquipment("14", "42", "925", "1273"), "14-42mm f/3.5-5.6"},
      {"Olympus prime", RangeFromOlympusEquipment("17", "17", "434", "434"), "17mm f/1.8"},
      {"Olympus aperture steps of 0", RangeFromOlympusEquipment("17", "17", "0", "0"), "17mm"},
      {"Olympus without a lens", RangeFromOlympusEquipment("0", "0", "0", "0"), ""},
      {"XMP LensInfo as rationals", RangeFromXmpLensInfo("180/10 550/10 35/10 56/10"), "18-55mm f/3.5-5.6"},
      {"XMP LensInfo, blanks doubled", RangeFromXmpLensInfo(" 24/1  70/1 28/10 28/10 "), "24-70mm f/2.8"},
      {"XMP LensInfo with unknown apertures", RangeFromXmpLensInfo("24/1 70/1 0/0 0/0"), "24-70mm"},
      {"XMP LensInfo of three rationals", RangeFromXmpLensInfo("24/1 70/1 0/0"), ""},
      {"XMP LensInfo as text", RangeFromXmpLensInfo("18-55mm f/3.5-5.6"), "18-55mm f/3.5-5.6"},
      {"XMP LensInfo of a prime as text", RangeFromXmpLensInfo("50mm f/1.8"), "50mm f/1.8"},
      {"XMP LensInfo as text, aperture unknown", RangeFromXmpLensInfo("24-70mm f/?"), "24-70mm"},
      {"XMP LensInfo as text without aperture", RangeFromXmpLensInfo("7-21mm"), "7-21mm"},
      {"XMP LensInfo as text, ends reversed", RangeFromXmpLensInfo("55-18mm f/3.5-5.6"), ""},
      {"XMP LensInfo as text, three ends", RangeFromXmpLensInfo("18-35-55mm"), ""},
      {"XMP LensInfo as text, negative", RangeFromXmpLensInfo("-18mm"), ""},
      {"XMP LensInfo of words", RangeFromXmpLensInfo("unknown lens"), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(LensRangeText(c.range), c.text);
  }
}

TEST(MakerLensName, KeepsANameAndRefusesFillers) {
  const std::pair<const char*, const char*> cases[] = {
      {"\"EF-S18-55mm f/3.5-5.6 IS II\"", "EF-S18-55mm f/3.5-5.6 IS II"},
      {"\"OLYMPUS M.17mm F1.8\"", "OLYMPUS M.17mm F1.8"},
      {"\"  EF50mm f/1.8 II  \"", "EF50mm f/1.8 II"},
      {"\"18.0-55.0 mm f/3.5-5.6\"", "18-55 mm f/3.5-5.6"},
      {"\"\"", ""},
      {"\"    \"", ""},
      {"\"----\"", ""},
      {"\"0.0\"", ""},
      {"\"", ""},
      {"", ""},
  };
  for (const auto& [rendered, name] : cases) {
    SCOPED_TRACE(rendered);
    EXPECT_EQ(MakerLensName(rendered), name);
  }
}

}  // namespace
}  // namespace lumetra
