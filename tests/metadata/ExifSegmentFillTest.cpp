// Reading an Exif segment only as far as a selective read needs: up to the thumbnail picture, with every
// byte before it read once and none of the picture read.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "metadata/ByteSource.h"
#include "metadata/ExifSegmentFill.h"
#include "testing/ExifWriter.h"
#include "testing/ThumbnailExif.h"

namespace lumetra {
namespace {

using testing::ByteOrder;
using testing::Ifd;
using testing::ThumbnailLayout;

// Counts the bytes handed out, so that a test sees what was read.
class CountingSource : public ByteSource {
 public:
  explicit CountingSource(std::string_view bytes) : source_(bytes) {}
  [[nodiscard]] size_t Read(char* destination, size_t count) override {
    const size_t n = source_.Read(destination, count);
    read_ += n;
    return n;
  }
  void Skip(size_t count) override { source_.Skip(count); }
  [[nodiscard]] size_t BytesRead() const { return read_; }

 private:
  MemorySource source_;
  size_t read_ = 0;
};

Ifd Camera(const ThumbnailLayout& /*layout*/) {
  Ifd exif;
  exif.Rationals(0x829A, {{1, 125}}).Short(0x8827, {400});
  Ifd ifd0;
  ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS 40D").Sub(0x8769, exif);
  return ifd0;
}

// The segment as the JPEG walk stores it: two length bytes, then the payload.
std::string Segment(const std::string& payload) {
  const size_t length = payload.size() + 2;
  return std::string{static_cast<char>(length >> 8), static_cast<char>(length & 0xFF)} + payload;
}

TEST(ExifSegmentFill, StopsAtTheThumbnailOrReadsTheWholeSegment) {
  constexpr uint32_t kThumbnail = 6000;
  // The JPEG walk has read the length bytes and "Exif\0" when the fill starts.
  constexpr size_t kStored = 7;
  struct Case {
    const char* what;
    std::string payload;
    size_t behind;        // bytes after the thumbnail
    size_t cut_from_end;  // bytes the file lacks at the end of the segment
    bool stops_at_thumbnail;
  };
  const Case cases[] = {
      {"Intel order", testing::ExifWithThumbnail(Camera, ByteOrder::kLittle, kThumbnail), 0, 0, true},
      {"Motorola order", testing::ExifWithThumbnail(Camera, ByteOrder::kBig, kThumbnail), 0, 0, true},
      {"bytes behind the thumbnail", testing::ExifWithThumbnail(Camera, ByteOrder::kLittle, kThumbnail, "behind"), 6, 0,
       true},
      {"no IFD1", testing::BuildExifPayload(Camera({}), ByteOrder::kLittle), 0, 0, false},
      {"the file ends before the thumbnail", testing::ExifWithThumbnail(Camera, ByteOrder::kLittle, kThumbnail), 0,
       kThumbnail + 100, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string segment = Segment(c.payload);
    const std::string file = segment.substr(0, segment.size() - c.cut_from_end);
    std::string storage(segment.size(), '\x55');
    std::copy(file.begin(), file.begin() + kStored, storage.begin());
    CountingSource source(std::string_view(file).substr(kStored));
    ExifSegmentFill fill(source, storage.data(), storage.size(), kStored);
    const size_t stored = fill.ReadToThumbnail();
    EXPECT_EQ(stored, fill.Stored());
    EXPECT_EQ(source.BytesRead(), std::min(stored, file.size()) - kStored);
    if (c.stops_at_thumbnail) {
      // The thumbnail and the bytes behind it end the segment. IFD1, right before the thumbnail here, is
      // read with room for ten entries, which reaches a little into the picture.
      const size_t thumbnail = segment.size() - kThumbnail - c.behind;
      EXPECT_GE(stored, thumbnail);
      EXPECT_LE(stored, thumbnail + 12 * 10);
    } else {
      EXPECT_EQ(stored, segment.size());
    }
    EXPECT_EQ(storage.substr(0, std::min(stored, file.size())), file.substr(0, std::min(stored, file.size())));
    // Bytes the file does not supply read as zero.
    if (c.cut_from_end > 0) {
      EXPECT_EQ(storage.substr(file.size()), std::string(c.cut_from_end, '\0'));
    }
    fill.ReadRest();
    EXPECT_EQ(fill.Stored(), segment.size());
    if (c.cut_from_end == 0) {
      EXPECT_EQ(storage, segment);
    }
  }
}

}  // namespace
}  // namespace lumetra
