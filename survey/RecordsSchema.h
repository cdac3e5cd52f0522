#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "survey/PhotoTags.h"

// The records cache's schema: its tables, view and marks, and the SQL that makes them. Both the program and
// the generator of the new database's bytes (built with it) make a database from this SQL alone, so a new
// database written from those bytes and one made statement by statement are the same.
namespace lumetra::records_schema {

/// Bumped with every change of the tables' columns; older tables are replaced by empty ones.
inline constexpr int64_t kSchemaVersion = 7;
/// "LMTR": the database belongs to Lumetra.
inline constexpr int64_t kApplicationId = 0x4C4D5452;
/// The size of a page: a first survey's rows go to the journal in half as many frames as with 4 KiB pages.
inline constexpr int64_t kPageBytes = 8192;

/// A row's data blob begins with this many 64-bit integers: the file's identity, the rules stamp and the
/// checksum; the facts text follows them.
inline constexpr size_t kFileFields = 7;
inline constexpr size_t kFileBytes = kFileFields * 8;
/// A photo's row number is its folder's number shifted left by these bits, plus its number in the folder.
inline constexpr int kSequenceBits = 24;
/// The facts text begins with whether the photo has Exif and its capture time, then the texts.
inline constexpr size_t kLeadingFacts = 2;

/// The columns of the facts, in PhotoTag order; a new fact is one more column here and a schema bump.
inline constexpr std::array<std::string_view, kPhotoTagCount> kTagColumns = {"model",
                                                                             "make",
                                                                             "focal_length",
                                                                             "focal_length_35mm",
                                                                             "exposure_time",
                                                                             "f_number",
                                                                             "iso",
                                                                             "program",
                                                                             "metering",
                                                                             "flash",
                                                                             "orientation",
                                                                             "lens_model",
                                                                             "short_focal",
                                                                             "long_focal",
                                                                             "focus_mode",
                                                                             "drive_mode",
                                                                             "maker_lens_model",
                                                                             "lens_specification",
                                                                             "dng_lens_info",
                                                                             "nikon_lens_information",
                                                                             "focal_units",
                                                                             "olympus_short_focal",
                                                                             "olympus_long_focal",
                                                                             "olympus_aperture_at_short",
                                                                             "olympus_aperture_at_long"};
/// The texts kept after the tags: the maker note's lens text as it stands, the XMP packet's lens name and
/// LensInfo.
inline constexpr std::array<std::string_view, 3> kLensTextColumns = {"maker_lens", "xmp_lens", "xmp_lens_info"};

/// The settings a new database takes before anything is written to it: the page size (which takes only
/// then) and the WAL journal.
[[nodiscard]] std::string NewDatabasePragmasSql();
/// Replaces whatever tables of Lumetra's are there with empty ones of this schema and its view, and marks
/// the file with the application id and the schema version; run within one transaction.
[[nodiscard]] std::string CreateSchemaSql();

}  // namespace lumetra::records_schema
