// The JPEG inside a Fujifilm RAF file: located by its header, checked against the file, read by the
// ordinary segment walk.

#include <gtest/gtest.h>

#include <string>

#include "metadata/ByteSource.h"
#include "metadata/ExifData.h"
#include "metadata/RafExif.h"
#include "metadata/ReaderError.h"
#include "testing/ExifWriter.h"
#include "testing/IsoMediaWriter.h"
#include "testing/JpegWriter.h"
#include "tests/support/ExpectThrow.h"

namespace lumetra {
namespace {

using testing::BuildRaf;
using testing::ExpectThrowWithMessage;

std::string FujifilmJpeg() {
  testing::Ifd ifd0;
  ifd0.Ascii(0x010F, "FUJIFILM").Ascii(0x0110, "FinePix S5Pro");
  return testing::BuildJpeg({testing::ExifSegment(ifd0, testing::ByteOrder::kLittle)});
}

TEST(LocateRafJpeg, FindsTheEmbeddedJpegForTheSegmentWalk) {
  const std::string jpeg = FujifilmJpeg();
  const std::string raf = BuildRaf(jpeg);
  MemorySource source(raf);
  const std::optional<ByteRange> range = LocateRafJpeg(source);
  ASSERT_TRUE(range);
  EXPECT_EQ(range->length, jpeg.size());
  EXPECT_EQ(raf.substr(range->offset), jpeg);

  RangeSource embedded(source, range->offset, range->length);
  std::string read(jpeg.size() + 1, '\0');
  read.resize(embedded.Read(read.data(), read.size()));
  TimgData data(BuildAll);
  data.ProcessBytes(read, ".jpg");
  ASSERT_NE(data.ImageInfo, nullptr);
  EXPECT_EQ(data.ImageInfo->TagText("Model"), "FinePix S5Pro");
}

TEST(LocateRafJpeg, RefusesAJpegOutsideTheFile) {
  const std::string jpeg = FujifilmJpeg();
  struct Case {
    const char* name;
    uint32_t offset;
  };
  const std::string raf = BuildRaf(jpeg);
  for (const Case& c : {Case{"offset past the end", static_cast<uint32_t>(raf.size() + 1)},
                        Case{"length past the end", 200}, Case{"offset near 4 GiB", 0xFFFFFFF0u}}) {
    SCOPED_TRACE(c.name);
    const std::string bytes = BuildRaf(jpeg, c.offset);
    MemorySource source(bytes);
    ExpectThrowWithMessage<ReaderError>([&] { static_cast<void>(LocateRafJpeg(source)); },
                                        "the embedded JPEG at " + std::to_string(c.offset) + " (" +
                                            std::to_string(jpeg.size()) + " bytes) lies outside the file of " +
                                            std::to_string(raf.size()) + " bytes");
  }
}

TEST(LocateRafJpeg, RefusesAHeaderCutShort) {
  const std::string raf = BuildRaf(FujifilmJpeg()).substr(0, 60);
  MemorySource source(raf);
  ExpectThrowWithMessage<ReaderError>([&] { static_cast<void>(LocateRafJpeg(source)); },
                                      "the RAF header at 0 runs past the end of the file");
}

TEST(LocateRafJpeg, FindsNoneForAJpegOfLengthZero) {
  const std::string bytes = BuildRaf("");
  MemorySource source(bytes);
  EXPECT_EQ(LocateRafJpeg(source), std::nullopt);
}

}  // namespace
}  // namespace lumetra
