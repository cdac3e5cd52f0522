// Real HEIF, AVIF and RAW files: each told apart by its bytes, its Exif found by the locators and read by
// the directory walk to the camera the manifest names, from a few kilobytes of the file.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "metadata/ByteSource.h"
#include "metadata/ContainerKind.h"
#include "metadata/ExifData.h"
#include "metadata/IsoMediaExif.h"
#include "metadata/RafExif.h"
#include "metadata/ReaderError.h"
#include "testing/JpegWriter.h"
#include "tests/support/CorpusFolder.h"

namespace lumetra {
namespace {

// A positioned source that counts the bytes asked of it.
class CountingSource : public PositionedSource {
 public:
  explicit CountingSource(PositionedSource& inner) : inner_(inner) {}
  [[nodiscard]] size_t ReadAt(uint64_t offset, char* destination, size_t count) override {
    const size_t n = inner_.ReadAt(offset, destination, count);
    bytes_ += n;
    ++reads_;
    return n;
  }
  [[nodiscard]] uint64_t Size() const override { return inner_.Size(); }
  [[nodiscard]] uint64_t bytes() const { return bytes_; }
  [[nodiscard]] size_t reads() const { return reads_; }

 private:
  PositionedSource& inner_;
  uint64_t bytes_ = 0;
  size_t reads_ = 0;
};

struct FormatsFile {
  std::string file;
  std::string file_type;
  std::string make;
  std::string model;
};

std::vector<FormatsFile> FormatsFiles(const std::filesystem::path& folder) {
  std::vector<FormatsFile> files;
  for (const std::vector<std::string>& columns : testing::ManifestRows(folder / "MANIFEST.tsv")) {
    if (columns.size() < 7) continue;
    const auto absent = [](const std::string& text) { return text == "-" ? std::string() : text; };
    files.push_back({columns[0], columns[4], absent(columns[5]), absent(columns[6])});
  }
  return files;
}

ContainerKind KindOfFileType(const std::string& file_type) {
  if (file_type == "HEIC" || file_type == "HEIF" || file_type == "AVIF") return ContainerKind::kIsoMediaImage;
  if (file_type == "CR3") return ContainerKind::kCr3;
  if (file_type == "RAF") return ContainerKind::kRaf;
  return ContainerKind::kTiff;
}

// The most of a TIFF structure one Exif segment carries.
constexpr size_t kSegmentTiffBytes = 65533 - 6;

// A TIFF structure read by the Exif segment walk, which honours the header's IFD0 offset.
std::unique_ptr<TimgData> ReadTiff(const std::string& tiff) {
  auto data = std::make_unique<TimgData>(BuildAll);
  const std::string payload = std::string("Exif\0\0", 6) + tiff.substr(0, kSegmentTiffBytes);
  data->ProcessBytes(testing::BuildJpeg({testing::Segment{0xE1, payload, std::nullopt}}), ".jpg");
  return data;
}

// The camera's tags of a file of the given kind, read through the locators; none when it has no Exif.
std::unique_ptr<TimgData> ReadCamera(CountingSource& source, ContainerKind kind) {
  switch (kind) {
    case ContainerKind::kIsoMediaImage: {
      const std::optional<std::string> tiff = ReadIsoMediaExif(source);
      return tiff ? ReadTiff(*tiff) : nullptr;
    }
    case ContainerKind::kCr3: {
      const std::optional<Cr3ExifBlocks> blocks = ReadCr3Exif(source);
      return blocks ? ReadTiff(blocks->ifd0) : nullptr;
    }
    case ContainerKind::kRaf: {
      const std::optional<ByteRange> jpeg = LocateRafJpeg(source);
      if (!jpeg) return nullptr;
      // The segment walk needs the segments before the picture data only.
      RangeSource embedded(source, jpeg->offset, std::min<uint64_t>(jpeg->length, 128 * 1024));
      std::string head(128 * 1024, '\0');
      head.resize(embedded.Read(head.data(), head.size()));
      auto data = std::make_unique<TimgData>(BuildAll);
      data->ProcessBytes(head, ".jpg");
      return data;
    }
    case ContainerKind::kTiff:
      return ReadTiff(ReadExactlyAt(source, 0, std::min<uint64_t>(source.Size(), kSegmentTiffBytes), "the TIFF"));
    default:
      return nullptr;
  }
}

std::string WithoutPadding(std::string text) {
  while (!text.empty() && (text.back() == '.' || text.back() == ' ')) text.pop_back();
  return text;
}

TEST(FormatsCorpus, EveryFileIsToldApartAndItsCameraFound) {
  const std::optional<std::filesystem::path> folder = testing::FormatsCorpusFolder();
  if (!folder) GTEST_SKIP() << testing::kNoFormatsCorpus;
  const std::vector<FormatsFile> files = FormatsFiles(*folder);
  ASSERT_FALSE(files.empty());
  for (const FormatsFile& file : files) {
    SCOPED_TRACE(file.file);
    FileSource opened((*folder / file.file).string());
    CountingSource source(opened);
    const ContainerKind kind = SniffContainer(source).kind;
    EXPECT_EQ(kind, KindOfFileType(file.file_type));
    std::unique_ptr<TimgData> data;
    try {
      data = ReadCamera(source, kind);
    } catch (const ReaderError& error) {
      ADD_FAILURE() << error.what();
    }
    if (file.make.empty()) {
      // No Exif item, or one without a camera (heic-empty.heic has an orientation and resolutions only).
      if (data && data->ImageInfo) {
        EXPECT_EQ(data->ImageInfo->TagText("Make"), "");
        EXPECT_EQ(data->ImageInfo->TagText("Model"), "");
      }
    } else {
      ASSERT_NE(data, nullptr);
      ASSERT_NE(data->ImageInfo, nullptr);
      EXPECT_EQ(WithoutPadding(data->ImageInfo->TagText("Make")), file.make);
      EXPECT_EQ(WithoutPadding(data->ImageInfo->TagText("Model")), file.model);
    }
    // A few kilobytes of headers and Exif, never the pictures.
    EXPECT_LE(source.bytes(), 64u * 1024);
    std::printf("%-40s %-5s %9llu bytes, %7llu read in %zu reads\n", file.file.c_str(), file.file_type.c_str(),
                static_cast<unsigned long long>(source.Size()), static_cast<unsigned long long>(source.bytes()),
                source.reads());
  }
}

// The sizes exiftool -v3 shows for the Exif items (less their 4-byte header offset and the "Exif\0\0" that
// all but the AVIF file put before the TIFF header) and
// for Canon's CMT boxes: every extent is read, nothing more.
TEST(FormatsCorpus, ExifBlocksAreAsLongAsExiftoolShows) {
  const std::optional<std::filesystem::path> folder = testing::FormatsCorpusFolder();
  if (!folder) GTEST_SKIP() << testing::kNoFormatsCorpus;
  struct ItemSize {
    const char* file;
    size_t tiff_bytes;
  };
  for (const ItemSize& expected :
       {ItemSize{"Apple/Irvine_CA.avif", 124 - 4}, ItemSize{"Apple/heic-iphone.heic", 2134 - 10},
        ItemSize{"Apple/heic-iphone7.heic", 2194 - 10}, ItemSize{"Apple/heic-maybebroken.HEIC", 2038 - 10},
        ItemSize{"NoExif/heic-empty.heic", 88 - 10}}) {
    SCOPED_TRACE(expected.file);
    FileSource source((*folder / expected.file).string());
    const std::optional<std::string> tiff = ReadIsoMediaExif(source);
    ASSERT_TRUE(tiff);
    EXPECT_EQ(tiff->size(), expected.tiff_bytes);
  }
  FileSource cr3((*folder / "Canon/CanonRaw.cr3").string());
  const std::optional<Cr3ExifBlocks> blocks = ReadCr3Exif(cr3);
  ASSERT_TRUE(blocks);
  EXPECT_EQ(blocks->ifd0.size(), 384u);
  EXPECT_EQ(blocks->exif.size(), 1056u);
  EXPECT_EQ(blocks->maker_note.size(), 5168u);
  EXPECT_EQ(blocks->gps.size(), 1808u);
}

}  // namespace
}  // namespace lumetra
