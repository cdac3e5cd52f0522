#pragma once

#include <string>
#include <string_view>

namespace lumetra {

struct PhotoTags;

/// A lens's focal range in millimetres and its widest aperture at each end as f-numbers, as a camera
/// writes them; 0 where a number is not written.
struct LensRange {
  double short_focal = 0;
  double long_focal = 0;
  double aperture_at_short = 0;
  double aperture_at_long = 0;
};

/// The range as one lens text: "18-70mm f/3.5-4.5", a prime "50mm f/1.8", an unknown aperture "7-21mm".
/// Numbers keep one decimal at most and no trailing zeros; equal ends collapse. Empty when the focal
/// range is not a real one (0 mm, short above long, beyond any lens); an aperture that is not a real one
/// (f/0, wider at the long end than at the short one) is left out.
[[nodiscard]] std::string LensRangeText(const LensRange& range);

/// Four rationals as rendered ("18/1, 55/1, 7/2, 28/5"): the Exif LensSpecification and the DNG LensInfo.
/// A zero denominator reads as an unknown number.
[[nodiscard]] LensRange RangeFromFractions(std::string_view text);

/// Nikon's lens information as rendered ("18.0-70.0(mm)  F3.5-F4.5").
[[nodiscard]] LensRange RangeFromNikonLensText(std::string_view text);

/// Canon's camera settings: the short and long focal lengths in focal units per millimetre (" 173",
/// " 519", " 32"). No units, or 0, count as one unit per millimetre. No aperture.
[[nodiscard]] LensRange RangeFromCanonFocals(std::string_view short_focal, std::string_view long_focal,
                                             std::string_view focal_units);

/// Olympus' equipment: whole millimetres, and apertures as steps of 1/256 EV (434 is f/1.8); a step
/// count of 0 is an unknown aperture.
[[nodiscard]] LensRange RangeFromOlympusEquipment(std::string_view short_focal, std::string_view long_focal,
                                                  std::string_view aperture_at_short,
                                                  std::string_view aperture_at_long);

/// XMP's aux:LensInfo: four rationals ("180/10 550/10 35/10 56/10") or a lens text ("18-55mm f/3.5-5.6",
/// "24-70mm f/?" for an unknown aperture). Anything else gives no range.
[[nodiscard]] LensRange RangeFromXmpLensInfo(std::string_view text);

/// Removes the ".0" pairs of a lens name from the end towards the start, a pair formed by a deletion
/// too: "18.0-55.0 mm f/3.5-5.6" gives "18-55 mm f/3.5-5.6".
[[nodiscard]] std::string WithoutPointZeros(std::string text);

/// A lens text a maker note writes, as rendered (in double quotes), made fit for the record: quotes,
/// surrounding blanks and ".0" pairs go ("EF-S18-55mm f/3.5-5.6 IS II"). Empty when nothing names a lens
/// (blanks, dashes, zeros).
[[nodiscard]] std::string MakerLensName(std::string_view rendered);

/// The lens text of a photo whose LensModel and maker-note lens entry say nothing: the maker note's own
/// lens text, else the range composed from LensSpecification, the DNG LensInfo, Nikon's lens
/// information, Canon's focal lengths and Olympus' equipment, the first that gives one and holds the
/// photo's own focal length (give or take a tenth and half a millimetre). Empty when
/// nothing in the photo describes its lens.
[[nodiscard]] std::string DescribedLensName(const PhotoTags& tags);

/// The lens text of the photo's XMP packet, for a photo nothing else describes the lens of: its lens name
/// made fit as a maker note's is, else the range of its LensInfo when it holds the photo's own focal
/// length. Empty when the packet names no lens.
[[nodiscard]] std::string XmpLensName(const PhotoTags& tags);

}  // namespace lumetra
