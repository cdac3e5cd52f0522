// Maker notes: the maker rules, offsets and byte orders, the Canon records and the Nikon renderers, and
// the containment of a broken note. Notes are built with their offsets placed as cameras place them.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "metadata/ExifData.h"
#include "metadata/TagSelection.h"
#include "survey/ExtractPhoto.h"
#include "testing/ExifWriter.h"
#include "testing/JpegWriter.h"
#include "testing/MovedCanonNote.h"
#include "testing/NotePlacement.h"
#include "tests/support/ByteOrders.h"

namespace lumetra {
namespace {

using testing::BuildExifPayload;
using testing::BuildJpeg;
using testing::BuildMakerNote;
using testing::ByteOrder;
using testing::Ifd;
using testing::Segment;
namespace type = testing::field_type;

constexpr size_t kTiffStart = 6;  // "Exif\0\0" before the TIFF header in an APP1 payload

using testing::NoteAt;

struct Photo {
  std::string make = "Canon";
  std::string model = "Canon EOS 40D";
  std::string exif_version = "0221";
  ByteOrder order = ByteOrder::kLittle;
  NoteAt note;
};

// An Exif APP1 payload whose Exif directory holds ExifVersion, ExposureTime, the MakerNote and ColorSpace,
// in that order.
std::string PayloadWithNote(const Photo& photo) {
  return testing::PayloadWithNote(
      [&photo](const std::string& note) {
        Ifd exif;
        exif.Undefined(0x9000, photo.exif_version)
            .Rationals(0x829A, {{1, 60}})
            .Undefined(0x927C, note)
            .Short(0xA001, {1});
        Ifd ifd0;
        ifd0.Ascii(0x010F, photo.make).Ascii(0x0110, photo.model).Sub(0x8769, exif);
        return ifd0;
      },
      photo.order, photo.note);
}

std::unique_ptr<TimgData> Read(const Photo& photo, int build_mode = BuildAll) {
  auto data = std::make_unique<TimgData>(build_mode);
  data->ProcessBytes(BuildJpeg({Segment{0xE1, PayloadWithNote(photo), std::nullopt}}), ".jpg");
  return data;
}

// A broken segment after the Exif one makes the read fail, so the walk's own outcome text stays visible.
std::string ErrorTextOfWalk(const Photo& photo) {
  TimgData data(BuildAll);
  data.ProcessBytes(BuildJpeg({Segment{0xE1, PayloadWithNote(photo), std::nullopt}, Segment{0xFE, "", 1}}), ".jpg");
  return data.ErrorText;
}

std::vector<std::pair<std::string, std::string>> MakerEntries(const TimgData& data) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (const TTagEntry& entry : data.ImageInfo->Tags) {
    if (entry.Origin == 1) entries.emplace_back(entry.Name, entry.Text);
  }
  return entries;
}

// A camera-settings array of `size` elements, element 0 holding its byte count as cameras write it.
std::vector<uint16_t> Settings(size_t size, std::vector<std::pair<size_t, uint16_t>> values) {
  std::vector<uint16_t> settings(size, 0);
  settings[0] = static_cast<uint16_t>(size * 2);
  for (const auto& [element, value] : values) settings[element] = value;
  return settings;
}

NoteAt CanonNote(ByteOrder order, std::vector<uint16_t> settings, std::vector<uint16_t> shot = {},
                 std::vector<uint16_t> custom = {}) {
  return [=](uint32_t at) {
    Ifd directory;
    directory.Short(0x0001, settings);
    if (!shot.empty()) directory.Short(0x0004, shot);
    directory.Ascii(0x0006, "IMG:EOS 40D JPEG").Long(0x0008, {1234567});
    if (!custom.empty()) directory.Short(0x000F, custom);
    return BuildMakerNote(directory, order, "", at);
  };
}

TEST(CanonMakerNote, DriveAndFocusModeFromTheCameraSettings) {
  struct Case {
    const char* what;
    std::vector<std::pair<size_t, uint16_t>> values;
    const char* drive;
    const char* focus;
  };
  const Case cases[] = {
      {"single shot, AI Servo", {{5, 0}, {7, 1}}, "Single", "AI Servo"},
      {"continuous, manual focus", {{5, 1}, {7, 3}}, "Continuous", "Manual Focus"},
      {"an unknown focus code falls back to element 32", {{5, 0}, {7, 7}, {32, 0}}, "Single", "Normal"},
      {"element 32 low", {{7, 9}, {32, 65535}}, "Single", "Low"},
      {"an unknown drive code lists nothing", {{5, 4}, {7, 6}}, "", "MF"},
  };
  for (const ByteOrder order : testing::kBothByteOrders) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(testing::ByteOrderName(order)) + " " + c.what);
      Photo photo;
      photo.order = order;
      photo.note = CanonNote(order, Settings(40, c.values));
      const auto data = Read(photo);
      EXPECT_EQ(data->ErrorText, "<none>");
      EXPECT_TRUE(data->ImageInfo->MakerNoteKnown);
      EXPECT_EQ(data->ImageInfo->TagText("Drive Mode"), c.drive);
      EXPECT_EQ(data->ImageInfo->TagText("Focus Mode"), c.focus);
    }
  }
}

TEST(CanonMakerNote, FocalRangeIsListedWhenTheArrayHoldsIt) {
  for (const ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    Photo photo;
    photo.order = order;
    photo.note = CanonNote(order, Settings(40, {{23, 55}, {24, 18}, {25, 1}}));
    const auto data = Read(photo);
    EXPECT_EQ(data->ImageInfo->TagText("Long focal"), " 55");
    EXPECT_EQ(data->ImageInfo->TagText("Short focal"), " 18");
    EXPECT_EQ(data->ImageInfo->TagText("Focal Units"), " 1");
    photo.note = CanonNote(order, Settings(20, {{5, 1}, {7, 0}}));
    const auto short_array = Read(photo);
    EXPECT_EQ(short_array->ImageInfo->TagIndex("Long focal"), -1);
    EXPECT_EQ(short_array->ImageInfo->TagIndex("Short focal"), -1);
    EXPECT_EQ(short_array->ImageInfo->TagText("Drive Mode"), "Continuous");
  }
}

TEST(CanonMakerNote, RecordsListNamedEntriesBeforeTheirOwnEntry) {
  Photo photo;
  photo.note = CanonNote(ByteOrder::kLittle, Settings(21, {{1, 2}, {5, 0}, {7, 0}}),
                         Settings(19, {{7, 1}, {8, 3}, {15, 65504}, {18, 2}}), {0x0101, 0x0F00, 0x1001, 0x0301});
  const auto data = Read(photo);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Macro mode", "Normal"},
      {"Self Timer", " 2"},
      {"Compression Rate", "SuperFine"},
      {"Flash Mode", "Not fired"},
      {"Drive Mode", "Single"},
      {"Focus Mode", "One-Shot"},
      {"Image Size", "Large"},
      {"Easy Shoot", "Full Auto"},
      {"Contrast", "Normal"},
      {"Saturation", "Normal"},
      {"Sharpness", "Normal"},
      {"CCD ISO", "Not used"},
      {"Metering Mode", "Normal"},
      {"AF Point", "Normal"},
      {"Exposure Mode", "Normal"},
      {"ExposureInfo1", "42, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0"},
      {"White balance", "Sunny"},
      {"Sequence Number", " 3"},
      {"OpticalZoom Step", " 0"},
      {"AF point", " 0"},
      {"Flash bias", "-1 EV"},
      {"Distance", " 2"},
      {"ExposureInfo2", "38, 0, 0, 0, 0, 0, 0, 1, 3, 0, 0, 0, 0, 0, 0, 65504, 0, 0, 2"},
      {"ImageType", "\"IMG:EOS 40D JPEG\""},
      {"ImageNumber", "1234567"},
      // Function 16 does not exist, and the last element is never looked at.
      {"Noise Reduction", " On"},
      {"Shutter Release w/o CF Card", "Enable"},
      {"CustomFunctions", "257, 3840, 4097, 769"},
  };
  EXPECT_EQ(MakerEntries(*data), expected);
  const TTagEntry named = data->ImageInfo->TagByName("Drive Mode");
  EXPECT_EQ(named.Tag, 0);
  EXPECT_EQ(named.Format, 2);
  EXPECT_EQ(named.Raw, "Single");
  EXPECT_EQ(named.Desc, "Drive Mode");
  // Exif tags after the maker note are still listed.
  EXPECT_EQ(data->ImageInfo->TagText("ColorSpace"), "sRGB");
  EXPECT_NE(data->ImageInfo->MakerNoteText.find("\r\nDrive Mode = Single"), std::string::npos);
  EXPECT_NE(data->ImageInfo->MakerNoteText.find("\r\nImageType = \"IMG:EOS 40D JPEG\""), std::string::npos);
}

// The named entries of `data` (Origin 1 without a tag number) whose names `selection` holds.
std::vector<std::pair<std::string, std::string>> NamedEntries(const TimgData& data, const TagSelection& selection) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (const TTagEntry& entry : data.ImageInfo->Tags) {
    if (entry.Origin == 1 && entry.Tag == 0 && selection.Holds(entry.Name))
      entries.emplace_back(entry.Name, entry.Text);
  }
  return entries;
}

// A selective read lists a record's named entries from its numbers, the full read from its rendered text:
// the same entries, texts and order whatever the record's type, length and values.
TEST(CanonMakerNote, ASelectiveReadListsTheRecordsEntriesAsTheFullReadDoes) {
  std::vector<uint16_t> long_record(200);
  for (size_t k = 0; k < long_record.size(); ++k) long_record[k] = static_cast<uint16_t>(k * 331 % 65536);
  long_record[150] = 2;  // beyond the 128 elements a record's text holds
  struct Case {
    const char* what;
    std::function<void(Ifd&)> record;
    bool lists_some = true;  // the full read lists named entries of `kManyNames`
  };
  const Case cases[] = {
      {"camera settings",
       [](Ifd& d) {
         d.Short(0x0001, Settings(40, {{1, 2}, {5, 1}, {7, 3}, {23, 300}, {24, 75}, {25, 1}, {32, 65535}}));
       }},
      {"one element (no item reads element 0)", [](Ifd& d) { d.Short(0x0001, {7}); }, false},
      {"cut before the focal range",
       [](Ifd& d) {
         d.Short(0x0001, Settings(24, {{5, 1}, {7, 2}, {23, 55}}));
       }},
      {"200 elements", [&long_record](Ifd& d) { d.Short(0x0001, long_record); }},
      {"signed shorts",
       [](Ifd& d) {
         d.SShort(0x0001, {80, -1, 3, -200, 0, 1, 0, -3, 0, 0, 0, 0, 0, 65, -1});
       }},
      {"longs",
       [](Ifd& d) {
         d.Long(0x0001, {12, 4294967295U, 0, 1, 2, 1, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 17});
       }},
      {"bytes",
       [](Ifd& d) {
         d.Byte(0x0001, {9, 1, 0, 2, 3, 1, 0, 1, 0, 0, 4, 11, 0, 1, 255, 1, 19});
       }},
      {"rationals, read through their text",
       [](Ifd& d) {
         d.Rationals(0x0001, {{1, 2}, {3, 4}, {5, 6}});
       }},
      {"text, read through its text", [](Ifd& d) { d.Ascii(0x0001, "1, 2, 3, 4, 1, 1, 0, 3"); }},
      {"shot information",
       [](Ifd& d) {
         d.Short(0x0004, Settings(19, {{7, 1}, {8, 3}, {10, 4}, {13, 12288}, {15, 65504}, {18, 2}}));
       }},
      {"custom functions",
       [](Ifd& d) {
         d.Short(0x000F, {0x0101, 0x0F00, 0x1001, 0x0301, 0x0E01, 0x0201, 0x0101});
       }},
      {"custom functions, signed",
       [](Ifd& d) {
         d.SShort(0x000F, {-1, 0x0201, 0x0D00, -256, 0x0E01, 7});
       }},
      {"custom functions, one element (the last, never looked at)", [](Ifd& d) { d.Short(0x000F, {0x0101}); }, false},
  };
  constexpr std::array<std::string_view, 5> kSurveyNames = {"Short focal", "Long focal", "Focus Mode", "Drive Mode",
                                                            "Focal Units"};
  constexpr std::array<std::string_view, 17> kManyNames = {
      "Macro mode", "Self Timer",          "Compression Rate", "Flash Mode",  "Drive Mode",
      "Focus Mode", "Long focal",          "Short focal",      "Focal Units", "White balance",
      "Distance",   "Sequence Number",     "Flash bias",       "AF point",    "Noise Reduction",
      "AF Assist",  "Superimposed Display"};
  const TagSelection survey_names(kSurveyNames);
  const TagSelection many_names(kManyNames);
  for (const ByteOrder order : testing::kBothByteOrders) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(testing::ByteOrderName(order)) + " " + c.what);
      Photo photo;
      photo.order = order;
      photo.note = [&c, order](uint32_t at) {
        Ifd directory;
        c.record(directory);
        directory.Ascii(0x0006, "IMG:EOS 40D JPEG");
        return BuildMakerNote(directory, order, "", at);
      };
      const auto full = Read(photo);
      const std::string jpeg = BuildJpeg({Segment{0xE1, PayloadWithNote(photo), std::nullopt}});
      for (const TagSelection* selection : {&survey_names, &many_names}) {
        TimgData selective(*selection);
        selective.ProcessBytes(jpeg, ".jpg");
        EXPECT_EQ(NamedEntries(selective, *selection), NamedEntries(*full, *selection));
        EXPECT_EQ(selective.ErrorText, full->ErrorText);
      }
      EXPECT_EQ(!NamedEntries(*full, many_names).empty(), c.lists_some);
    }
  }
}

TEST(CanonMakerNote, TheEighteenthEntryIsKeptAsTheLensName) {
  for (const ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    Photo photo;
    photo.order = order;
    photo.note = [order](uint32_t at) {
      Ifd directory;
      for (uint16_t tag = 0x0100; tag < 0x0111; ++tag) directory.Short(tag, {tag});
      directory.Ascii(0x0095, "EF-S18-55mm f/3.5-5.6 IS");  // the 18th entry
      directory.Short(0x0200, {1}).Short(0x0201, {2});
      return BuildMakerNote(directory, order, "", at);
    };
    const auto data = Read(photo);
    EXPECT_EQ(data->Context.makerLensText, "\"EF-S18-55mm f/3.5-5.6 IS\"");
    // The lens model entry is known to the table and listed; tags the table does not know are shown in
    // the listing as "Unknown" but not listed.
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"MakerLensModel", "\"EF-S18-55mm f/3.5-5.6 IS\""}};
    EXPECT_EQ(MakerEntries(*data), expected);
    EXPECT_NE(data->ImageInfo->MakerNoteText.find("\r\nLens Model = \"EF-S18-55mm"), std::string::npos);
    EXPECT_NE(data->ImageInfo->MakerNoteText.find("\r\nUnknown = 1\r\n"), std::string::npos);
  }
}

// An editor that moves a Canon note rewrites the MakerNote entry but not the offsets inside the note;
// the note's trailer still names where it was written, and its values are read from there.
TEST(CanonMakerNote, AMovedNoteIsReadFromWhereItsTrailerSaysItWasWritten) {
  using testing::CanonTrailer;
  struct Case {
    const char* what;
    CanonTrailer trailer;
    int32_t moved_by;
  };
  const Case cases[] = {
      {"no trailer", CanonTrailer::kNone, 0},
      {"a trailer naming where the note sits", CanonTrailer::kSameOrder, 0},
      {"moved 40 bytes later", CanonTrailer::kSameOrder, 40},
      {"moved 40 bytes earlier", CanonTrailer::kSameOrder, -40},
      {"moved 2 bytes later", CanonTrailer::kSameOrder, 2},
      {"moved 6 bytes earlier", CanonTrailer::kSameOrder, -6},
      {"a trailer in the other byte order is not the note's", CanonTrailer::kOtherOrder, 0},
  };
  ExtractionContext context;
  context.crop_factor = [](const std::string&, const std::string&) -> int64_t { return 16000; };
  for (const ByteOrder order : testing::kBothByteOrders) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(testing::ByteOrderName(order)) + " " + c.what);
      testing::MovedCanonPhoto photo;
      photo.order = order;
      photo.trailer = c.trailer;
      photo.moved_by = c.moved_by;
      photo.drive_mode = 1;
      photo.focus_mode = 3;
      photo.short_focal = 17;
      photo.long_focal = 85;
      // The same note in a JPEG and in a TIFF-like file, whose offsets are placed differently.
      const std::pair<std::string, const char*> files[] = {
          {testing::BuildMovedCanonPhoto(photo), ".jpg"},
          {testing::BuildMovedCanonExif(photo).substr(kTiffStart), ".tif"},
      };
      for (const auto& [bytes, extension] : files) {
        SCOPED_TRACE(extension);
        TimgData data(BuildAll);
        data.ProcessBytes(bytes, extension);
        EXPECT_EQ(data.ErrorText, "<none>");
        EXPECT_TRUE(data.ImageInfo->MakerNoteKnown);
        EXPECT_EQ(data.ImageInfo->TagText("Drive Mode"), "Continuous");
        EXPECT_EQ(data.ImageInfo->TagText("Focus Mode"), "Manual Focus");
        EXPECT_EQ(data.ImageInfo->TagText("Short focal"), " 17");
        EXPECT_EQ(data.ImageInfo->TagText("Long focal"), " 85");
        EXPECT_EQ(data.ImageInfo->TagText("ImageType"), "\"IMG:EOS 40D JPEG\"");

        const std::optional<PhotoRecord> record = ExtractPhotoRecord(data, context);
        ASSERT_TRUE(record.has_value());
        EXPECT_EQ(record->drive, "Serial");
        EXPECT_EQ(record->focus, "Manual Focus");
        EXPECT_EQ(record->lens, "17-85 mm");
        EXPECT_EQ(record->focal, "35");
      }
    }
  }
}

TEST(CanonMakerNote, ABrokenNoteEndsItsOwnWalkOnly) {
  struct Case {
    const char* what;
    NoteAt note;
    const char* error;
    size_t entries;
  };
  const Case cases[] = {
      {"a directory count past the end",
       [](uint32_t) { return std::string("\x40\x00\x06\x00\x02\x00\x04\x00\x00\x00", 10); },
       "Error Detected = read of 2 bytes at position 15 is outside the 10-byte buffer", 1},
      {"a field type above 12",
       [](uint32_t at) {
         Ifd directory;
         directory.Long(0x0008, {42}).RawField(0x0009, 13, 1, 0).Long(0x000C, {7});
         return BuildMakerNote(directory, ByteOrder::kLittle, "", at);
       },
       "Error Detected = field type 13 in maker tag 9", 1},
      {"a negative offset",
       [](uint32_t at) {
         Ifd directory;
         directory.Long(0x0008, {42}).RawField(0x0009, type::kAscii, 10, 0x80000000u);
         return BuildMakerNote(directory, ByteOrder::kLittle, "", at);
       },
       "Error Detected = negative offset in maker tag 9", 1},
      {"a byte count over 32 bits",
       [](uint32_t at) {
         Ifd directory;
         directory.Long(0x0008, {42}).RawField(0x0009, type::kDouble, 0x10000000, 0);
         return BuildMakerNote(directory, ByteOrder::kLittle, "", at);
       },
       "Error Detected = byte count of maker tag 9 overflows 32 bits", 1},
      {"the note ending inside an entry's offset",
       [](uint32_t) {
         // Two entries counted: the first whole (its text in the entry), the second cut two bytes into its offset.
         return std::string(
             "\x02\x00"
             "\x06\x00\x02\x00\x04\x00\x00\x00"
             "abc\x00"
             "\x09\x00\x02\x00\x0A\x00\x00\x00"
             "\x00\x00",
             24);
       },
       "Error Detected = read of 4 bytes at position 23 is outside the 24-byte buffer", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Photo photo;
    photo.note = c.note;
    const auto data = Read(photo);
    EXPECT_EQ(data->ErrorText, "<none>");
    EXPECT_TRUE(data->ImageInfo->MakerNoteKnown);
    EXPECT_EQ(MakerEntries(*data).size(), c.entries);
    EXPECT_EQ(data->ImageInfo->TagText("ColorSpace"), "sRGB");
    EXPECT_EQ(data->ImageInfo->TagText("MakerNote").substr(0, 1), "\"");
    EXPECT_EQ(ErrorTextOfWalk(photo), c.error);
  }
}

TEST(MakerNoteValues, AValueEndingOnTheNotesLastByteIsReadFromTheNote) {
  // The owner name's value is the note's last 8 bytes; one byte further and it lies outside the note,
  // where it is looked for in the Exif data at its offset plus the maker's fallback base.
  for (const int overhang : {0, 1}) {
    SCOPED_TRACE(overhang);
    Photo photo;
    photo.note = [overhang](uint32_t at) {
      Ifd directory;
      directory.Long(0x0008, {1}).AsciiExact(0x0009, "Ann Lee");
      std::string note = BuildMakerNote(directory, ByteOrder::kLittle, "", at);
      // Entry 2's count is at note bytes 2 + 12 + 4.
      note[18] = static_cast<char>(7 + overhang);
      return note;
    };
    const auto data = Read(photo);
    const std::string owner = data->ImageInfo->TagText("OwnerName");
    if (overhang == 0) {
      EXPECT_EQ(owner, "\"Ann Lee\"");
    } else {
      EXPECT_NE(owner, "\"Ann Lee\"");
      EXPECT_EQ(data->ErrorText, "<none>");
    }
  }
}

TEST(NikonMakerNote, TheLayoutFollowsTheExifVersionAndTheNotesHeader) {
  const auto type3 = [](ByteOrder order) {
    return [order](uint32_t) {
      Ifd directory;
      directory.Short(0x0002, {0, 400})
          .Ascii(0x0004, "FINE")
          .Rationals(0x0084, {{18, 1}, {70, 1}, {35, 10}, {45, 10}})
          .Ascii(0x008D, "MODE2")
          .Short(0x000A, {1});
      const std::string tiff_header =
          order == ByteOrder::kLittle ? std::string("II*\0\x08\0\0\0", 8) : std::string("MM\0*\0\0\0\x08", 8);
      return BuildMakerNote(directory, order, std::string("Nikon\0\x02\x10\0\0", 10) + tiff_header, -10);
    };
  };
  const auto type1 = [](uint32_t at) {
    Ifd directory;
    directory.Short(0x0003, {3}).Short(0x0007, {5}).Short(0x000B, {1});
    return BuildMakerNote(directory, ByteOrder::kLittle, std::string("Nikon\0\x01\0", 8), at);
  };
  for (const ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    Photo photo;
    photo.make = "NIKON CORPORATION";
    photo.model = "NIKON D70";
    photo.order = order;
    photo.note = type3(order);
    const auto data = Read(photo);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"ISOSpeed", "0, 400"},
        {"Quality", "\"FINE\""},
        {"LensInformation", "18.0-70.0(mm)  F3.5-F4.5"},
        {"ColorMode", "Mode 2 (Adobe RGB)"},
    };
    EXPECT_EQ(MakerEntries(*data), expected);
    EXPECT_NE(data->ImageInfo->MakerNoteText.find("\r\nISO Speed = 0, 400"), std::string::npos);
  }
  // Exif 2.1 and a note that starts with "Nikon": the first layout and its table.
  Photo old;
  old.make = "NIKON";
  old.model = "E950";
  old.exif_version = "0210";
  old.note = type1;
  const std::vector<std::pair<std::string, std::string>> expected_old = {
      {"Quality", "Vga Fine"}, {"WhiteBalance", "Cloudy"}, {"Converter", "Used"}};
  EXPECT_EQ(MakerEntries(*Read(old)), expected_old);
  // Exif 2.1 and a bare directory: the second table from the note's first byte.
  old.note = [](uint32_t at) {
    Ifd directory;
    directory.Short(0x0002, {0, 100}).Ascii(0x0007, "AF-S");
    return BuildMakerNote(directory, ByteOrder::kLittle, "", at);
  };
  const std::vector<std::pair<std::string, std::string>> expected_bare = {{"ISOSpeed", "0, 100"},
                                                                          {"FocusMode", "\"AF-S\""}};
  EXPECT_EQ(MakerEntries(*Read(old)), expected_bare);
}

TEST(NikonMakerNote, ColourModesAreSpelledOut) {
  const std::pair<const char*, const char*> cases[] = {
      {"MODE1", "Mode1 (sRGB)"},
      {"MODE2", "Mode 2 (Adobe RGB)"},
      {"MODE3", "Mode 3 (sRGB): higher saturation"},
      {"MODE4a", "MODE4"},
  };
  for (const auto& [mode, expected] : cases) {
    SCOPED_TRACE(mode);
    Photo photo;
    photo.make = "NIKON CORPORATION";
    photo.exif_version = "0210";  // a bare directory: the second layout
    photo.note = [mode = std::string(mode)](uint32_t at) {
      Ifd directory;
      directory.Short(0x0001, {1}).Ascii(0x008D, mode);
      return BuildMakerNote(directory, ByteOrder::kLittle, "", at);
    };
    EXPECT_EQ(Read(photo)->ImageInfo->TagText("ColorMode"), expected);
  }
}

TEST(FujifilmMakerNote, IsReadLittleEndianInABigEndianFile) {
  Photo photo;
  photo.make = "FUJIFILM";
  photo.model = "FinePix S5600";
  photo.order = ByteOrder::kBig;
  photo.note = [](uint32_t) {
    Ifd directory;
    directory.Undefined(0x0000, "0130")
        .Ascii(0x1000, "NORMAL ")
        .Short(0x1001, {3})
        .Short(0x1002, {256})
        .Short(0x1021, {1});
    return BuildMakerNote(directory, ByteOrder::kLittle, std::string("FUJIFILM\x0C\0\0\0", 12), 0);
  };
  const auto data = Read(photo);
  EXPECT_EQ(data->ErrorText, "<none>");
  const std::vector<std::pair<std::string, std::string>> expected = {
      // The first row (Version) is never listed.
      {"Quality", "\"NORMAL \""},
      {"Sharpness", "Normal"},
      {"WhiteBalance", "Daylight"},
      {"Focusmode", "Manual Focus"},
  };
  EXPECT_EQ(MakerEntries(*data), expected);
  // Back to big-endian for the Exif tags after the note.
  EXPECT_TRUE(data->ImageInfo->BigEndian);
  EXPECT_EQ(data->ImageInfo->TagText("ColorSpace"), "sRGB");
}

TEST(MakerNoteRules, OtherMakersAndOddNames) {
  const auto olympus_note = [](uint32_t at) {
    Ifd directory;
    directory.Short(0x0201, {2}).Short(0x0203, {1}).Ascii(0x0207, "D4034").Short(0x0202, {1});
    return BuildMakerNote(directory, ByteOrder::kLittle, std::string("OLYMP\0\x01\0", 8), at);
  };
  struct Case {
    const char* make;
    NoteAt note;
    bool known;
    std::vector<std::pair<std::string, std::string>> entries;
  };
  const Case cases[] = {
      // "0=Normal,1:Macro;" as the maker wrote it: code 1 reads "Macro;".
      {"OLYMPUS IMAGING CORP.",
       olympus_note,
       true,
       {{"JpegQual", "HQ"}, {"Firmware", "\"D4034\""}, {"Macro", "Macro;"}}},
      {"olympus optical", olympus_note, true, {{"JpegQual", "HQ"}, {"Firmware", "\"D4034\""}, {"Macro", "Macro;"}}},
      // KONICA MINOLTA's first five letters match no maker.
      {"KONICA MINOLTA", olympus_note, false, {}},
      {"Minolta Co., Ltd.",
       [](uint32_t at) {
         Ifd directory;
         directory.Long(0x0000, {1}).Long(0x0E00, {2});
         return BuildMakerNote(directory, ByteOrder::kLittle, "", at);
       },
       true,
       {{"PIMdata", "2"}}},
      {"CASIO",
       [](uint32_t at) {
         Ifd directory;
         directory.Short(0x0003, {2}).Short(0x0008, {1}).Long(0x000A, {65537}).Short(0x0014, {244});
         return BuildMakerNote(directory, ByteOrder::kLittle, "", at);
       },
       true,
       {{"FocusingMode", "Macro"}, {"DigitalZoom", "2X Digital Zoom"}, {"CCDSensitivity", "+3.0"}}},
      {"SEIKO EPSON CORP.",
       [](uint32_t at) {
         Ifd directory;
         directory.Short(0x0201, {2}).Short(0x0300, {7}).Short(0x0F00, {1});
         return BuildMakerNote(directory, ByteOrder::kLittle, std::string("EPSON\0\x01\0", 8), at);
       },
       true,
       {{"JpegQuality", "2"}, {"??", "7"}}},
      {"SANYO Electric Co.,Ltd.",
       [](uint32_t at) {
         Ifd directory;
         directory.Short(0x0201, {2}).Short(0x0F00, {9});
         return BuildMakerNote(directory, ByteOrder::kLittle, std::string("SANYO\0\x01\0", 8), at);
       },
       true,
       {{"JpegQuality", "2"}, {"DataDump", "9"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.make);
    Photo photo;
    photo.make = c.make;
    photo.note = c.note;
    const auto data = Read(photo);
    EXPECT_EQ(data->ImageInfo->MakerNoteKnown, c.known);
    EXPECT_EQ(MakerEntries(*data), c.entries);
  }
}

TEST(MakerNoteRules, BuildModes) {
  Photo photo;
  photo.note = CanonNote(ByteOrder::kLittle, Settings(40, {{5, 1}, {7, 2}}));
  const auto text_only = Read(photo, BuildInfoText);
  EXPECT_EQ(text_only->ImageInfo->TagCount(), 0);
  EXPECT_TRUE(text_only->ImageInfo->MakerNoteKnown);
  EXPECT_NE(text_only->ImageInfo->MakerNoteText.find("\r\nImageNumber = "), std::string::npos);
  // Without rendered texts there is no Make either, so the maker is not recognised.
  const auto list_only = Read(photo, BuildTagList);
  EXPECT_FALSE(list_only->ImageInfo->MakerNoteKnown);
}

TEST(MakerNoteRules, ATiffFilesNoteIsPlacedFromItsOwnOffsets) {
  for (const ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    Photo photo;
    photo.order = order;
    photo.note = CanonNote(order, Settings(40, {{5, 1}, {7, 2}, {23, 300}, {24, 75}}));
    // The same directories as a TIFF-like file: the APP1 payload without "Exif\0\0".
    const std::string tiff = PayloadWithNote(photo).substr(kTiffStart);
    TimgData data(BuildAll);
    EXPECT_TRUE(data.ProcessBytes(tiff, ".tif"));
    EXPECT_TRUE(data.ImageInfo->MakerNoteKnown);
    EXPECT_EQ(data.ImageInfo->TagText("Focus Mode"), "AI Focus");
    EXPECT_EQ(data.ImageInfo->TagText("Long focal"), " 300");
    EXPECT_EQ(data.ImageInfo->TagText("ImageType"), "\"IMG:EOS 40D JPEG\"");
  }
}

}  // namespace
}  // namespace lumetra
