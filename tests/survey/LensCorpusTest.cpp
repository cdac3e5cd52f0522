// The lens names of the photo corpus against exiftool's: every lens exiftool names is named, and a name
// made of focal and aperture numbers has exiftool's numbers.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "survey/ExtractPhoto.h"
#include "tests/support/CorpusFolder.h"
#include "tests/support/Exiftool.h"

namespace lumetra {
namespace {

// Photos whose lens exiftool names from what the reader does not read: lens numbers without a focal range
// (a table of lenses by number is not kept).
const std::map<std::string, std::string> kNamedElsewhere = {
    {"Pentax/Pentax ist D.jpg", "only a lens number"},
};

// Focal and aperture ends as a lens text or exiftool gives them; NaN where unknown.
struct Ends {
  double short_focal = std::nan("");
  double long_focal = std::nan("");
  double aperture_at_short = std::nan("");
  double aperture_at_long = std::nan("");
};

// The numbers of a composed text ("18-70mm f/3.5-4.5", "7-21mm", "18-55 mm"); nullopt for a lens's own
// name.
std::optional<Ends> EndsOfText(const std::string& text) {
  static const std::regex composed(R"(^([0-9.]+)(?:-([0-9.]+))? ?mm(?: f/([0-9.]+)(?:-([0-9.]+))?)?$)");
  std::smatch match;
  if (!std::regex_match(text, match, composed)) return std::nullopt;
  const auto number = [&match](size_t group, size_t otherwise) {
    const size_t chosen = match[group].matched ? group : otherwise;
    return match[chosen].matched ? std::stod(match[chosen].str()) : std::nan("");
  };
  return Ends{number(1, 1), number(2, 1), number(3, 3), number(4, 3)};
}

double NumberOf(const nlohmann::json& value) {
  if (value.is_number()) return value.get<double>();
  try {
    return value.is_string() ? std::stod(value.get<std::string>()) : std::nan("");
  } catch (const std::exception&) {
    return std::nan("");  // "undef"
  }
}

// exiftool's numbers of the lens: a four-number lens entry ("18 70 3.5 4.5", of Nikon's note, the Exif
// LensSpecification or the DNG LensInfo) or XMP's LensInfo as exiftool prints it ("18-55mm f/3.5-5.6"),
// else the maker note's focal and aperture ends.
std::optional<Ends> EndsOfExiftool(const nlohmann::json& file) {
  for (const auto& [key, value] : file.items()) {
    const std::string name = key.substr(key.find(':') + 1);
    if ((name != "Lens" && name != "LensInfo") || !value.is_string()) continue;
    if (name == "LensInfo") {
      if (const std::optional<Ends> ends = EndsOfText(value.get<std::string>())) return ends;
    }
    std::istringstream words(value.get<std::string>());
    std::vector<std::string> parts{std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
    if (parts.size() != 4) continue;
    return Ends{NumberOf(parts[0]), NumberOf(parts[1]), NumberOf(parts[2]), NumberOf(parts[3])};
  }
  Ends ends;
  bool found = false;
  for (const auto& [key, value] : file.items()) {
    const std::string name = key.substr(key.find(':') + 1);
    double* end = name == "MinFocalLength"          ? &ends.short_focal
                  : name == "MaxFocalLength"        ? &ends.long_focal
                  : name == "MaxApertureAtMinFocal" ? &ends.aperture_at_short
                  : name == "MaxApertureAtMaxFocal" ? &ends.aperture_at_long
                                                    : nullptr;
    if (end == nullptr) continue;
    *end = NumberOf(value);
    found = true;
  }
  return found ? std::optional<Ends>(ends) : std::nullopt;
}

bool NamesALens(const nlohmann::json& file) {
  for (const auto& [key, value] : file.items()) {
    const std::string name = key.substr(key.find(':') + 1);
    if (name == "LensID" || name == "LensModel" || name == "Lens") return true;
  }
  return false;
}

// A number of the text, written to a tenth, is exiftool's; one the text leaves out is not checked.
void ExpectSame(double ours, double theirs, const char* what) {
  if (std::isnan(ours)) return;
  EXPECT_FALSE(std::isnan(theirs)) << what << ": exiftool has no such number";
  EXPECT_NEAR(ours, theirs, 0.05 + 1e-9) << what;
}

TEST(LensCorpus, EveryLensExiftoolNamesIsNamedWithExiftoolsNumbers) {
  LUMETRA_CORPUS_OR_SKIP(corpus);
  if (!testing::HaveExiftool()) GTEST_SKIP() << "exiftool is not on PATH";
  const std::map<std::string, nlohmann::json> reference =
      testing::Exiftool(*corpus, *corpus,
                        // A second -q keeps exiftool's warnings about odd maker notes out of its JSON.
                        "-q -ext jpg -ext jpeg -LensID -LensModel -Lens -LensInfo -MinFocalLength -MaxFocalLength "
                        "-MaxApertureAtMinFocal -MaxApertureAtMaxFocal");
  ExtractionContext context;
  context.cb_CF = false;
  int named = 0;
  int composed = 0;
  for (const testing::CorpusPhoto& photo : testing::CorpusPhotos()) {
    SCOPED_TRACE(photo.file);
    const std::optional<PhotoRecord> record = ExtractPhoto((*corpus / photo.file).string(), context);
    if (!record) continue;
    ASSERT_TRUE(reference.contains(photo.file));
    const nlohmann::json& file = reference.at(photo.file);
    if (NamesALens(file) && !kNamedElsewhere.contains(photo.file)) {
      EXPECT_NE(record->lens, "n/a");
      ++named;
    }
    const std::optional<Ends> ours = EndsOfText(record->lens);
    if (!ours) continue;
    ++composed;
    const std::optional<Ends> theirs = EndsOfExiftool(file);
    ASSERT_TRUE(theirs) << record->lens << ": exiftool has no numbers for this lens";
    ExpectSame(ours->short_focal, theirs->short_focal, "short focal");
    ExpectSame(ours->long_focal, theirs->long_focal, "long focal");
    ExpectSame(ours->aperture_at_short, theirs->aperture_at_short, "aperture at the short end");
    ExpectSame(ours->aperture_at_long, theirs->aperture_at_long, "aperture at the long end");
  }
  // The corpus's own figures, so that a test that finds nothing to compare does not pass quietly.
  EXPECT_EQ(named, 23);
  EXPECT_EQ(composed, 16);
}

}  // namespace
}  // namespace lumetra
