// The Exif directory walk: directories and pointers, value positions, broken entries, the computed 35 mm
// focal length, build modes and the lookups by name. Each case runs in both byte orders.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "metadata/EndianReader.h"
#include "metadata/ExifData.h"
#include "metadata/ReaderError.h"
#include "testing/ExifWriter.h"
#include "testing/FaultPhotos.h"
#include "testing/JpegWriter.h"
#include "tests/support/ByteOrders.h"
#include "tests/support/ExpectThrow.h"

namespace lumetra {
namespace {

using testing::BuildExifPayload;
using testing::BuildJpeg;
using testing::ByteOrder;
using testing::Ifd;
using testing::Rational;
using testing::Segment;
namespace type = testing::field_type;

// In an APP1 payload ("Exif\0\0" + TIFF) a TIFF offset X is at payload index X + 6.
constexpr size_t kTiffStart = 6;
constexpr size_t kIfd0Start = kTiffStart + 8;

void Patch(std::string& bytes, size_t index, uint32_t value, int size, ByteOrder order) {
  for (int k = 0; k < size; ++k) {
    const int shift = order == ByteOrder::kBig ? 8 * (size - 1 - k) : 8 * k;
    bytes[index + static_cast<size_t>(k)] = static_cast<char>((value >> shift) & 0xFF);
  }
}

std::unique_ptr<TimgData> ReadPayload(const std::string& payload, int build_mode = BuildAll) {
  auto data = std::make_unique<TimgData>(build_mode);
  data->ProcessBytes(BuildJpeg({Segment{0xE1, payload, std::nullopt}}), ".jpg");
  return data;
}

std::unique_ptr<TimgData> ReadExif(const Ifd& ifd0, ByteOrder order, int build_mode = BuildAll) {
  return ReadPayload(BuildExifPayload(ifd0, order), build_mode);
}

// A broken segment after the Exif one makes the read fail, so the text the walk left stays visible.
std::string ErrorTextOfWalk(const std::string& payload) {
  TimgData data(BuildAll);
  data.ProcessBytes(BuildJpeg({Segment{0xE1, payload, std::nullopt}, Segment{0xFE, "", 1}}), ".jpg");
  return data.ErrorText;
}

std::vector<std::string> Names(const TimgData& data) {
  std::vector<std::string> names;
  for (const TTagEntry& entry : data.ImageInfo->Tags) names.push_back(entry.Name);
  return names;
}

int CountNamed(const TimgData& data, const std::string& name) {
  int count = 0;
  for (const TTagEntry& entry : data.ImageInfo->Tags) count += entry.Name == name;
  return count;
}

Ifd CameraIfd() {
  Ifd interop;
  interop.Ascii(0x0001, "R98");
  Ifd exif;
  exif.Rationals(0x829A, {{10, 1250}})
      .Rationals(0x829D, {{28, 10}})
      .Short(0x8822, {3})
      .Short(0x8827, {400})
      .Undefined(0x9000, "0221")
      .Undefined(0x9101, std::string("\x01\x02\x03\x00", 4))
      .SRationals(0x9201, {{8, 1}})
      .Short(0x9207, {5})
      .Short(0x9209, {0x19})
      .Rationals(0x920A, {{58, 10}})
      .Undefined(0x9286, std::string("ASCII\0\0\0  Hello \0", 18))
      .Short(0xA405, {75})
      .Sub(0xA005, interop);
  Ifd gps;
  gps.Byte(0x00, {2, 2, 0, 0})
      .Ascii(0x01, "N")
      .Rationals(0x02, {{55, 1}, {4530, 100}, {0, 1}})
      .Rationals(0x07, {{14, 1}, {5, 1}, {9, 1}});
  Ifd ifd0;
  ifd0.Ascii(0x010F, "Canon")
      .Ascii(0x0110, "Canon EOS 40D")
      .Short(0x0112, {6})
      .Rationals(0x011A, {{72, 1}})
      .Sub(0x8769, exif)
      .Sub(0x8825, gps);
  return ifd0;
}

TEST(ExifWalk, ListsEveryDirectoryInWalkOrderInBothByteOrders) {
  const std::vector<std::string> expected_names = {
      "Make", "Model", "Orientation", "XResolution",
      // The Exif directory's entries come before the pointer that led to them, and so do the
      // interoperability entries.
      "ExposureTime", "FNumber", "ExposureProgram", "ISOSpeedRatings", "ExifVersion", "ComponentsConfiguration",
      "ShutterSpeedValue", "MeteringMode", "Flash", "FocalLength", "UserComment", "FocalLengthin35mmFilm",
      "InteroperabilityIndex", "InteroperabilityOffset", "ExifOffset",
      // GPSVersionID has tag number 0 in its table and is never listed.
      "GPSLatitudeRef", "GPSLatitude", "GPSTimeStamp", "GPSInfo"};
  const std::pair<const char*, const char*> expected_texts[] = {
      {"Make", "Canon"},
      {"Orientation", "CounterClockwise 90\u00B0"},
      {"XResolution", "72.00"},
      {"ExposureTime", "10/1250"},
      {"FNumber", "2.8"},
      {"ExposureProgram", "Aperture"},
      {"ISOSpeedRatings", "400"},
      {"ExifVersion", "\"0221\""},
      {"ComponentsConfiguration", "YCbCr"},
      {"ShutterSpeedValue", "0.0039 sec (1/256)"},
      {"MeteringMode", "MultiSegment"},
      {"Flash", "On"},
      {"FocalLength", " 5.80"},
      {"UserComment", "Hello"},
      {"FocalLengthin35mmFilm", "75.00"},
      {"InteroperabilityIndex", "R98"},
      {"GPSLatitudeRef", "N"},
      {"GPSLatitude", "55 Degrees 45 Minutes 18 Seconds"},
      {"GPSTimeStamp", "14:5:9"},
  };
  for (const ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    const auto data = ReadExif(CameraIfd(), order);
    EXPECT_EQ(data->ErrorText, "<none>");
    EXPECT_EQ(data->BigEndian, order == ByteOrder::kBig);
    EXPECT_EQ(Names(*data), expected_names);
    for (const auto& [name, text] : expected_texts) EXPECT_EQ(data->ImageInfo->TagText(name), text) << name;
    EXPECT_EQ(data->ImageInfo->CameraMake, "Canon");
    EXPECT_EQ(data->ImageInfo->CameraModel, "Canon EOS 40D");
    EXPECT_EQ(data->ImageInfo->VersionText, "0221");
    const std::string& info = data->ImageInfo->InfoText;
    EXPECT_EQ(info.substr(0, 34), "\r\nMake = Canon\r\nModel = Canon EOS ");
    EXPECT_NE(info.find("\r\nExposure Time = 10/1250"), std::string::npos);
    EXPECT_NE(info.find("\r\nISOSpeed Ratings = 400"), std::string::npos);
  }
}

TEST(ExifWalk, EntriesRecordTheirValueBytesAndPosition) {
  for (const ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    const auto data = ReadExif(CameraIfd(), order);
    const TTagEntry model = data->ImageInfo->TagByName("Model");
    EXPECT_EQ(model.Tag, 0x0110);
    EXPECT_EQ(model.Format, 2);
    EXPECT_EQ(model.Origin, 0);
    EXPECT_EQ(model.Raw, std::string("Canon EOS 40D\0", 14));
    EXPECT_EQ(model.Size, 14);
    EXPECT_EQ(data->Buffer.substr(static_cast<size_t>(model.Offset - 1), 14), model.Raw);
    const TTagEntry make = data->ImageInfo->TagByName("Make");
    EXPECT_EQ(make.Raw, std::string("Canon\0", 6));
    EXPECT_EQ(data->Buffer.substr(static_cast<size_t>(make.Offset - 1), 6), make.Raw);
  }
}

TEST(ExifWalk, AnIfd0OffsetOfZeroReadsAsEight) {
  for (const ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    std::string payload = BuildExifPayload(CameraIfd(), order);
    Patch(payload, kTiffStart + 4, 0, 4, order);
    EXPECT_EQ(ReadPayload(payload)->ImageInfo->TagText("Model"), "Canon EOS 40D");
  }
}

TEST(ExifWalk, HeaderErrorsListNothing) {
  const std::string good = BuildExifPayload(CameraIfd(), ByteOrder::kLittle);
  struct Case {
    const char* what;
    std::string payload;
    bool exif;  // the APP1 starts with "Exif\0" and is taken as the Exif segment
    const char* error;
  };
  const Case cases[] = {
      {"not Exif", "Exig" + good.substr(4), false, "Not an EXIF file"},
      {"no zero after Exif", "Exif!" + good.substr(5), false, "Not an EXIF file"},
      {"too short", "Ex", false, "Not an EXIF file"},
      {"byte order IM", good.substr(0, 6) + "IM" + good.substr(8), true, "Invalid Exif alignment marker"},
      {"nothing after the header", good.substr(0, 6), true, "Invalid Exif alignment marker"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto data = ReadPayload(c.payload);
    EXPECT_EQ(data->HasExif(), c.exif);
    // An APP1 that is not Exif is passed over: the file has no Exif. An Exif one is read even when its
    // walk finds nothing.
    EXPECT_EQ(data->ErrorText, c.exif ? "<none>" : "Not an EXIF file");
    if (c.exif) {
      EXPECT_EQ(data->ImageInfo->TagCount(), 0);
    }
    EXPECT_EQ(ErrorTextOfWalk(c.payload), c.error);
  }
}

TEST(ExifWalk, ADirectoryTooLargeForTheSegmentIsNotRead) {
  for (const ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    std::string payload = BuildExifPayload(CameraIfd(), order);
    Patch(payload, kIfd0Start, 5000, 2, order);
    const auto data = ReadPayload(payload);
    EXPECT_EQ(data->ImageInfo->TagCount(), 0);
    EXPECT_EQ(ErrorTextOfWalk(payload), "Illegally sized directory");
  }
}

TEST(ExifWalk, APointerBackToAWalkedDirectoryIsNotFollowed) {
  for (const ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    Ifd exif;
    exif.Rationals(0x829D, {{28, 10}}).RawField(0x014A, type::kLong, 1, 8);  // back to IFD0
    Ifd ifd0;
    ifd0.Ascii(0x010F, "Canon").RawField(0x8769, type::kLong, 1, 8).Sub(0x8769, exif);
    const auto data = ReadExif(ifd0, order);
    EXPECT_EQ(data->ErrorText, "<none>");
    EXPECT_EQ(CountNamed(*data, "Make"), 1);
    EXPECT_EQ(CountNamed(*data, "FNumber"), 1);
    EXPECT_EQ(data->Context.VisitedDirectories.size(), 2u);
  }
}

TEST(ExifWalk, AGpsDirectoryRunningPastTheSegmentLosesOnlyItsOwnTags) {
  for (const ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    const auto build = [&](uint32_t gps_offset) {
      Ifd exif;
      exif.Rationals(0x829A, {{1, 125}});
      Ifd ifd0;
      ifd0.Ascii(0x010F, "NIKON").Sub(0x8769, exif).RawField(0x8825, type::kLong, 1, gps_offset).Short(0x0112, {1});
      return BuildExifPayload(ifd0, order);
    };
    // The GPS directory starts in the segment's last two bytes and claims five entries.
    const uint32_t gps_offset = static_cast<uint32_t>(build(0).size() - kTiffStart);
    std::string payload = build(gps_offset) + "..";
    Patch(payload, payload.size() - 2, 5, 2, order);
    const auto data = ReadPayload(payload);
    EXPECT_EQ(data->ErrorText, "<none>");
    EXPECT_EQ(Names(*data), (std::vector<std::string>{"Make", "ExposureTime", "ExifOffset", "GPSInfo", "Orientation"}));
  }
}

TEST(ExifWalk, EntriesWithoutBytesAreSkipped) {
  for (const ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    Ifd ifd0;
    ifd0.Ascii(0x010F, "Canon").Raw(0x010E, type::kAscii, 0, "").RawField(0x0131, 0, 5, 0).Short(0x0112, {1});
    EXPECT_EQ(Names(*ReadExif(ifd0, order)), (std::vector<std::string>{"Make", "Orientation"}));
  }
}

TEST(ExifWalk, AValuePastTheSegmentEndIsListedWithTheBytesThatExist) {
  for (const ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    Ifd ifd0;
    ifd0.RawField(0x0110, type::kAscii, 10, 60000).Ascii(0x010F, "Canon");
    const auto data = ReadExif(ifd0, order);
    EXPECT_EQ(data->ErrorText, "<none>");
    const TTagEntry model = data->ImageInfo->TagByName("Model");
    EXPECT_EQ(model.Tag, 0x0110);
    EXPECT_EQ(model.Size, 0);
    EXPECT_EQ(model.Text, "");
    EXPECT_EQ(data->ImageInfo->TagText("Make"), "Canon");
  }
}

struct BrokenEntry {
  const char* what;
  uint16_t type;
  uint32_t count;
  uint32_t value;
};

const BrokenEntry kBrokenEntries[] = {
    {"negative count", type::kAscii, 0x80000000u, 0},
    {"type above 12", 13, 1, 0},
    {"negative offset", type::kAscii, 10, 0xFFFFFFF0u},
    {"byte count beyond 32 bits", type::kLong, 0x40000000u, 0},
    {"rational count beyond 32 bits", type::kRational, 0x7FFFFFFFu, 0},
};

TEST(ExifWalk, ABrokenEntryInIfd0EndsTheWalkKeepingWhatWasListed) {
  for (const ByteOrder order : testing::kBothByteOrders) {
    for (const BrokenEntry& broken : kBrokenEntries) {
      SCOPED_TRACE(std::string(testing::ByteOrderName(order)) + " " + broken.what);
      Ifd ifd0;
      ifd0.Ascii(0x010F, "Canon").RawField(0x0110, broken.type, broken.count, broken.value).Short(0x0112, {1});
      const auto data = ReadExif(ifd0, order);
      EXPECT_EQ(data->ErrorText, "Not an EXIF file");
      EXPECT_TRUE(data->HasExif());
      EXPECT_EQ(Names(*data), std::vector<std::string>{"Make"});
    }
  }
}

TEST(ExifWalk, ABrokenEntryInASubDirectoryEndsOnlyThatDirectory) {
  for (const ByteOrder order : testing::kBothByteOrders) {
    for (const BrokenEntry& broken : kBrokenEntries) {
      SCOPED_TRACE(std::string(testing::ByteOrderName(order)) + " " + broken.what);
      Ifd exif;
      exif.Rationals(0x829A, {{1, 60}}).RawField(0x829D, broken.type, broken.count, broken.value).Short(0x8827, {200});
      Ifd ifd0;
      ifd0.Ascii(0x010F, "Canon").Sub(0x8769, exif).Short(0x0112, {1});
      const auto data = ReadExif(ifd0, order);
      EXPECT_EQ(data->ErrorText, "<none>");
      EXPECT_EQ(Names(*data), (std::vector<std::string>{"Make", "ExposureTime", "ExifOffset", "Orientation"}));
    }
  }
}

// What a fault photo lists: the probe with its text, and every entry after it with the text it always had.
struct ProbePhoto {
  const char* what;
  Ifd ifd0;
  const char* probe;
  std::string probe_text;
  std::vector<std::string> names;
};

void ExpectListedWithTexts(const std::vector<ProbePhoto>& cases) {
  const std::pair<const char*, const char*> later_texts[] = {
      {"MeteringMode", "MultiSegment"}, {"Flash", "On"}, {"FocalLength", "50.00"}};
  for (const ByteOrder order : testing::kBothByteOrders) {
    for (const ProbePhoto& c : cases) {
      SCOPED_TRACE(std::string(testing::ByteOrderName(order)) + " " + c.what);
      const auto data = ReadExif(c.ifd0, order);
      EXPECT_EQ(data->ErrorText, "<none>");
      EXPECT_EQ(Names(*data), c.names);
      EXPECT_EQ(data->ImageInfo->TagText(c.probe), c.probe_text);
      for (const auto& [name, text] : later_texts) {
        if (name != std::string(c.probe) && data->ImageInfo->TagIndex(name) >= 0) {
          EXPECT_EQ(data->ImageInfo->TagText(name), text) << name;
        }
      }
    }
  }
}

std::vector<std::string> ProbeNames(const std::string& probe) {
  std::vector<std::string> names = {"Make", "Model", "ExposureTime", "FNumber"};
  if (!probe.empty()) names.push_back(probe);
  for (const char* later : {"MeteringMode", "Flash", "FocalLength"}) {
    if (later != probe) names.push_back(later);
  }
  names.push_back("ExifOffset");
  return names;
}

TEST(ExifWalk, AValueItsRendererCannotReadShowsItsPrintableTextAndTheWalkGoesOn) {
  ExpectListedWithTexts({
      {"components 00 03 02 01", testing::ComponentsConfigurationPhoto(std::string("\x00\x03\x02\x01", 4)),
       "ComponentsConfiguration", "\"\"", ProbeNames("ComponentsConfiguration")},
      {"components 00 00 00 01", testing::ComponentsConfigurationPhoto(std::string("\x00\x00\x00\x01", 4)),
       "ComponentsConfiguration", "\"\"", ProbeNames("ComponentsConfiguration")},
      {"components of one byte", testing::ComponentsConfigurationPhoto("\x01"), "ComponentsConfiguration", "\".\"",
       ProbeNames("ComponentsConfiguration")},
      {"components 01 02 03 00 still rendered",
       testing::ComponentsConfigurationPhoto(std::string("\x01\x02\x03\x00", 4)), "ComponentsConfiguration", "YCbCr",
       ProbeNames("ComponentsConfiguration")},
      {"flash of two elements", testing::FlashPhoto({16, 0}), "Flash", "16, 0", ProbeNames("Flash")},
      {"flash of one element still rendered", testing::FlashPhoto({16}), "Flash", "Off", ProbeNames("Flash")},
  });
}

TEST(ExifWalk, AnAsciiValueEndsAtItsFirstZeroByte) {
  ExpectListedWithTexts({
      {"junk after the zero", testing::ModelPhoto(std::string("CAM12\0X", 7)), "Model", "CAM12", ProbeNames("")},
      {"zero padding", testing::ModelPhoto(std::string("CAM12\0\0\0", 8)), "Model", "CAM12", ProbeNames("")},
      {"a leading zero", testing::ModelPhoto(std::string("\0CAM12\0", 7)), "Model", "", ProbeNames("")},
      {"no terminating zero", testing::ModelPhoto("CAM12"), "Model", "CAM12", ProbeNames("")},
  });
  for (const ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    EXPECT_EQ(ReadExif(testing::ModelPhoto(std::string("CAM12\0X", 7)), order)->ImageInfo->CameraModel, "CAM12");
    // The photographer's and the editor's notices are both kept.
    Ifd ifd0;
    ifd0.Ascii(0x010F, "Canon").AsciiExact(0x8298, std::string("Ann\0Bob\0", 8));
    EXPECT_EQ(ReadExif(ifd0, order)->ImageInfo->TagText("Copyright"), "Ann.Bob");
  }
}

TEST(ExifWalk, AShutterSpeedBeyondIntegerRangesIsListedAndTheWalkGoesOn) {
  const std::vector<std::string> names = ProbeNames("ShutterSpeedValue");
  ExpectListedWithTexts({
      {"tv 30", testing::ShutterSpeedPhoto({30, 1}), "ShutterSpeedValue", "0.0000 sec (1/1073741824)", names},
      {"tv 40", testing::ShutterSpeedPhoto({40, 1}), "ShutterSpeedValue", "0.0000 sec (1/1099511627776)", names},
      {"tv 62", testing::ShutterSpeedPhoto({62, 1}), "ShutterSpeedValue", "0.0000 sec (1/4611686018427387904)", names},
      {"tv 63: 1/t beyond 64 bits", testing::ShutterSpeedPhoto({63, 1}), "ShutterSpeedValue", "0.0000 sec", names},
      {"tv 2000: 1/t infinite", testing::ShutterSpeedPhoto({2000, 1}), "ShutterSpeedValue", "0.0000 sec", names},
  });
}

TEST(ExifWalk, AnIfd0OutsideTheSegmentFailsTheRead) {
  for (const ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    std::string payload = BuildExifPayload(CameraIfd(), order);
    Patch(payload, kTiffStart + 4, 60000, 4, order);
    const auto data = ReadPayload(payload);
    EXPECT_EQ(data->ErrorText, "Not an EXIF file");
    EXPECT_EQ(data->ImageInfo->TagCount(), 0);
    Patch(payload, kTiffStart + 4, 0xFFFFFFF0u, 4, order);
    EXPECT_EQ(ReadPayload(payload)->ErrorText, "Not an EXIF file");
  }
}

TEST(ExifWalk, NestingIsLimitedInDepthAndCount) {
  // A chain of sub-directories twelve deep: IFD0 and eight levels below it are walked.
  std::function<Ifd(int)> level = [&](int n) {
    Ifd directory;
    directory.Ascii(0x010E, "level " + std::to_string(n));
    if (n < 12) directory.Sub(0x014A, level(n + 1));
    return directory;
  };
  // Seventy sub-directories side by side: 64 directories in all are walked, IFD0 included.
  Ifd wide;
  for (int n = 0; n < 70; ++n) {
    Ifd child;
    child.Ascii(0x010E, "child");
    wide.Sub(0x014A, child);
  }
  for (const ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    const auto deep = ReadExif(level(0), order);
    EXPECT_EQ(CountNamed(*deep, "ImageDescription"), 9);
    EXPECT_EQ(deep->ImageInfo->Tags.front().Text, "level 0");
    const auto many = ReadExif(wide, order);
    EXPECT_EQ(CountNamed(*many, "ImageDescription"), 63);
    EXPECT_EQ(CountNamed(*many, "SubIFDs"), 70);
  }
}

TEST(ExifWalk, BuildModesChooseListOrText) {
  for (const ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    const auto list = ReadExif(CameraIfd(), order, BuildTagList);
    EXPECT_EQ(list->ImageInfo->TagCount(), ReadExif(CameraIfd(), order)->ImageInfo->TagCount());
    EXPECT_EQ(list->ImageInfo->TagText("Make"), "");
    EXPECT_EQ(list->ImageInfo->TagByName("Make").Raw, std::string("Canon\0", 6));
    EXPECT_EQ(list->ImageInfo->InfoText, "");
    const auto text = ReadExif(CameraIfd(), order, BuildInfoText);
    EXPECT_EQ(text->ImageInfo->TagCount(), 0);
    EXPECT_EQ(text->ImageInfo->InfoText.substr(0, 16), "\r\nMake = Canon\r\n");
  }
}

TEST(ExifWalk, TheMakerNoteOfAnUnknownMakerIsKeptButNotRead) {
  for (const ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    const std::string note("\x01\x00\x02\x00 maker bytes", 16);
    Ifd exif;
    exif.Undefined(0x927C, note);
    Ifd ifd0;
    ifd0.Ascii(0x010F, "Leica Camera AG").Sub(0x8769, exif);
    const auto data = ReadExif(ifd0, order);
    EXPECT_EQ(data->ImageInfo->MakerNoteRaw, note);
    EXPECT_EQ(data->Buffer.substr(static_cast<size_t>(data->ImageInfo->MakerNotePos - 1), 16), note);
    EXPECT_FALSE(data->ImageInfo->MakerNoteKnown);
    EXPECT_EQ(data->ImageInfo->MakerNoteText, "");
  }
}

TEST(ExifWalk, LongTextsAreCut) {
  const std::string make(60, 'M');
  const std::string model(45, 'X');
  Ifd ifd0;
  ifd0.Ascii(0x010F, make).Ascii(0x0110, model);
  const auto data = ReadExif(ifd0, ByteOrder::kLittle);
  EXPECT_EQ(data->ImageInfo->TagText("Make"), make.substr(0, 50));
  EXPECT_EQ(data->ImageInfo->CameraMake, make.substr(0, 32));
  EXPECT_EQ(data->ImageInfo->CameraModel, model.substr(0, 40));
}

Ifd FocalIfd(std::vector<Rational> x, std::vector<Rational> y, uint16_t unit, Rational focal) {
  Ifd exif;
  exif.Rationals(0x920A, {focal}).Rationals(0xA20E, std::move(x)).Rationals(0xA20F, std::move(y));
  if (unit != 0) exif.Short(0xA210, {unit});
  Ifd ifd0;
  ifd0.Ascii(0x010F, "Canon").Sub(0x8769, exif);
  return ifd0;
}

TEST(FocalLength35, IsComputedFromTheFocalPlaneResolution) {
  struct Case {
    const char* what;
    Ifd ifd0;
    const char* expected;  // nullptr: no computed entry
  };
  Ifd resolution_unit_only = FocalIfd({{3888000, 876}}, {{2592000, 583}}, 0, {24, 1});
  resolution_unit_only.Short(0x0128, {2});
  const Case cases[] = {
      {"inch", FocalIfd({{3888000, 876}}, {{2592000, 583}}, 2, {24, 1}), "38.85"},
      {"centimetre", FocalIfd({{3888000, 2225}}, {{2592000, 1481}}, 3, {24, 1}), "38.85"},
      {"unit from ResolutionUnit", resolution_unit_only, "38.85"},
      {"short focal pads to five characters", FocalIfd({{3888000, 876}}, {{2592000, 583}}, 2, {5, 1}), " 8.09"},
      // 40 × 30 mm is larger than the 35 mm frame: the real focal length stays.
      {"large sensor", FocalIfd({{6000000, 1575}}, {{4500000, 1181}}, 2, {50, 1}), "50.00"},
      {"no unit", FocalIfd({{3888000, 876}}, {{2592000, 583}}, 0, {24, 1}), nullptr},
      {"unknown unit", FocalIfd({{3888000, 876}}, {{2592000, 583}}, 1, {24, 1}), nullptr},
      {"no focal length", FocalIfd({{3888000, 876}}, {{2592000, 583}}, 2, {0, 1}), nullptr},
      {"zero resolution", FocalIfd({{3888000, 0}}, {{2592000, 583}}, 2, {24, 1}), nullptr},
  };
  for (const ByteOrder order : testing::kBothByteOrders) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(testing::ByteOrderName(order)) + " " + c.what);
      const auto data = ReadExif(c.ifd0, order);
      EXPECT_EQ(data->ErrorText, "<none>");
      const TTagEntry computed = data->ImageInfo->TagByName("FocalLengthin35mmFilm");
      if (c.expected == nullptr) {
        EXPECT_EQ(computed.Tag, 0);
        continue;
      }
      EXPECT_EQ(computed.Tag, 0xA405);
      EXPECT_EQ(computed.Text, c.expected);
      EXPECT_EQ(computed.Format, 10);
      EXPECT_EQ(computed.FormatString, "%s mm");
      EXPECT_EQ(computed.Size, 0);
      EXPECT_TRUE(computed.Raw.empty());
      EXPECT_EQ(data->ImageInfo->Tags.back().Name, "FocalLengthin35mmFilm");
      const std::string line = std::string("\r\nFocal Length in 35mm Film = ") + c.expected;
      EXPECT_EQ(data->ImageInfo->InfoText.substr(data->ImageInfo->InfoText.size() - line.size()), line);
    }
  }
}

TEST(FocalLength35, AStoredValueIsNeverComputedAgain) {
  Ifd ifd0 = FocalIfd({{3888000, 876}}, {{2592000, 583}}, 2, {24, 1});
  ifd0.Short(0xA405, {75});
  const auto data = ReadExif(ifd0, ByteOrder::kBig);
  EXPECT_EQ(CountNamed(*data, "FocalLengthin35mmFilm"), 1);
  EXPECT_EQ(data->ImageInfo->TagText("FocalLengthin35mmFilm"), "75.00");
}

TEST(FocalLength35, ANumeratorWithoutPixelCountFailsTheReadOnly) {
  TimgData data(BuildAll);
  const std::string broken =
      BuildJpeg({testing::ExifSegment(FocalIfd({{300, 1}}, {{200, 1}}, 2, {24, 1}), ByteOrder::kLittle)});
  EXPECT_FALSE(data.ProcessBytes(broken, ".jpg"));
  EXPECT_EQ(data.ErrorText, "Not an EXIF file");
  EXPECT_FALSE(data.Context.NumeratorMode);
  EXPECT_EQ(data.ImageInfo->TagText("Make"), "Canon");
  EXPECT_EQ(data.ImageInfo->TagText("FocalLength"), "24.00");
  EXPECT_EQ(data.ImageInfo->TagIndex("FocalLengthin35mmFilm"), -1);
  // The next photo is read normally.
  const std::string good =
      BuildJpeg({testing::ExifSegment(FocalIfd({{3888000, 876}}, {{2592000, 583}}, 2, {24, 1}), ByteOrder::kLittle)});
  EXPECT_TRUE(data.ProcessBytes(good, ".jpg"));
  EXPECT_EQ(data.ImageInfo->TagText("FocalLengthin35mmFilm"), "38.85");
}

TEST(TagLookup, FindsTheFirstEntryByNameIgnoringCase) {
  Ifd exif;
  exif.Short(0xA210, {2}).Short(0x8827, {400}).SRationals(0x9204, {{-2147483647 - 1, -1}});
  Ifd ifd0;
  ifd0.Short(0x9210, {3}).Sub(0x8769, exif).Rationals(0x920A, {{50, 1}});
  const auto data = ReadExif(ifd0, ByteOrder::kLittle);
  const TImageInfo& info = *data->ImageInfo;
  EXPECT_EQ(info.TagText("focallength"), info.TagText("FocalLength"));
  EXPECT_EQ(info.TagText("FOCALLENGTH"), "50.00");
  // Both focal-plane unit tags carry one name: the one listed first answers.
  EXPECT_EQ(info.TagText("FocalPlaneResolutionUnit"), "Centimeter");
  EXPECT_EQ(info.TagInteger("ISOSpeedRatings"), 400);
  EXPECT_DOUBLE_EQ(info.TagValue("FocalLength"), 50);
  EXPECT_EQ(info.TagIndex("Nothing"), -1);
  EXPECT_EQ(info.TagText("Nothing"), "");
  EXPECT_EQ(info.TagByName("Nothing").Tag, 0);
  EXPECT_EQ(info.TagValue("Nothing"), 0);
  EXPECT_EQ(info.TagInteger("Nothing"), 0);
  // 2147483648 does not fit 32 bits.
  testing::ExpectThrowWithMessage<ReaderError>([&] { static_cast<void>(info.TagInteger("ExposureBiasValue")); },
                                               "value 2147483648.00 is outside the 32-bit range");
}

// A CR2 keeps IFD0 at 16, behind its own header fields: the first directory is read where the header says,
// and right after the header only when the header's offset points inside the header itself.
TEST(TiffFile, TheFirstDirectoryIsReadWhereTheHeaderSays) {
  for (const ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    Ifd decoy;
    decoy.Ascii(0x010F, "Decoy").Ascii(0x0110, "Right after the header").Next(CameraIfd());
    std::string tiff = testing::BuildTiff(decoy, order);
    // The decoy's next-directory pointer follows its two entries.
    const std::string_view next_pointer(tiff.data() + 8 + 2 + 2 * 12, 4);
    const uint32_t camera_directory = static_cast<uint32_t>(ReadIntegerInOrder(next_pointer, order == ByteOrder::kBig));
    for (const auto& [header_offset, model] :
         {std::pair<uint32_t, const char*>{camera_directory, "Canon EOS 40D"}, {4u, "Right after the header"}}) {
      Patch(tiff, 4, header_offset, 4, order);
      TimgData data(BuildAll);
      EXPECT_TRUE(data.ProcessBytes(tiff, ".tif"));
      EXPECT_EQ(data.ErrorText, "<none>");
      EXPECT_FALSE(data.IsTiff);
      EXPECT_TRUE(data.ImageInfo->IsTiff);
      EXPECT_EQ(data.ImageInfo->BigEndian, order == ByteOrder::kBig);
      EXPECT_EQ(data.Sections[1].Data.size(), 256000u);
      EXPECT_EQ(data.ImageInfo->TagText("Model"), model);
    }
    Patch(tiff, 4, camera_directory, 4, order);
    TimgData data(BuildAll);
    ASSERT_TRUE(data.ProcessBytes(tiff, ".cr2"));
    EXPECT_EQ(data.ImageInfo->TagText("ExposureTime"), "10/1250");
    EXPECT_EQ(data.ImageInfo->TagText("GPSLatitude"), "55 Degrees 45 Minutes 18 Seconds");
  }
}

TEST(TiffFile, AFileWithoutTiffHeaderIsNotRead) {
  for (const std::string& bytes : {std::string("XX*\0\x08\0\0\0", 8), std::string("II"), std::string("II*\0")}) {
    TimgData data(BuildAll);
    EXPECT_FALSE(data.ProcessBytes(bytes, ".tif"));
    EXPECT_EQ(data.ErrorText, "Not an EXIF file");
    EXPECT_FALSE(data.HasExif());
  }
}

}  // namespace
}  // namespace lumetra
