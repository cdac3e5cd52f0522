// A reader kept from file to file (the survey keeps one per reading thread) reads each file as a new reader
// does: nothing of one file's tags, maker-note state, segments or errors reaches the next.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "metadata/ExifData.h"
#include "metadata/TagSelection.h"
#include "testing/DemoFolder.h"
#include "testing/FaultPhotos.h"
#include "tests/support/CorpusFolder.h"
#include "tests/support/FileBytes.h"

namespace lumetra {
namespace {

struct Input {
  std::string name;
  std::string bytes;
  std::string extension;
};

// Files of every kind the tests have at hand: demo photos, the fault probes, the fuzzing seeds (JPEG and
// TIFF, maker notes among them) and the corpus when it is there.
std::vector<Input> Inputs() {
  std::vector<Input> inputs;
  for (const testing::DemoPhoto& photo : testing::DemoPhotos()) {
    inputs.push_back({photo.path, testing::DemoPhotoBytes(photo), ".jpg"});
  }
  for (const testing::FaultPhoto& photo : testing::FaultPhotos()) {
    inputs.push_back({photo.name, testing::FaultPhotoJpeg(photo.ifd0, photo.order), ".jpg"});
  }
  const std::filesystem::path fuzz_seeds = LUMETRA_SOURCE_DIR "/fuzz/seeds";
  for (const auto& [target, extension] : {std::pair{"jpeg_reader", ".jpg"}, std::pair{"tiff_reader", ".tif"}}) {
    if (!std::filesystem::is_directory(fuzz_seeds / target)) continue;
    for (const auto& file : std::filesystem::directory_iterator(fuzz_seeds / target)) {
      inputs.push_back({file.path().string(), testing::ReadFileBytes(file.path()), extension});
    }
  }
  if (const auto folder = testing::CorpusFolder()) {
    for (const testing::CorpusPhoto& photo : testing::CorpusPhotos()) {
      inputs.push_back({photo.file, testing::ReadFileBytes(*folder / photo.file), ".jpg"});
    }
  }
  return inputs;
}

// Everything a read leaves that its callers look at.
std::string Outcome(const TimgData& data) {
  std::string text = data.ErrorText + "|" + std::to_string(data.SectionCount) + "|" + std::to_string(data.ExifSection) +
                     "|" + std::to_string(data.IptcSection) + "|" + std::to_string(data.CommentSection) + "|" +
                     std::to_string(data.HeaderSection) + "|" + data.Context.makerLensText + "|" +
                     std::string(data.XmpPacket) + "|" + std::to_string(data.XmpAfterExif) + "\n";
  for (int slot = 1; slot <= data.SectionCount; ++slot) {
    const tSection& section = data.Sections[static_cast<size_t>(slot)];
    text += std::to_string(section.Marker) + " " + std::to_string(section.Size) + " " + section.Data + "\n";
  }
  if (!data.ImageInfo) return text;
  const TImageInfo& info = *data.ImageInfo;
  text += info.InfoText + "|" + info.MakerNoteText + "|" + std::to_string(info.MakerNoteKnown) + "\n";
  for (const TTagEntry& entry : info.Tags) {
    text += std::to_string(entry.Origin) + " " + std::to_string(entry.Format) + " " + std::to_string(entry.IptcRecord) +
            " " + std::to_string(entry.Tag) + " " + entry.Name + "|" + entry.Desc + "|" + std::string(entry.CodeList) +
            "|" + entry.Text + "|" + entry.Raw + "|" + std::to_string(entry.Offset) + "|" +
            std::string(entry.FormatString) + "|" + std::to_string(entry.Size) + "|" +
            std::to_string(entry.Renderer != nullptr) + "|" + std::to_string(entry.SelectionIndex) + "\n";
  }
  return text;
}

TEST(ReaderReuse, AReaderKeptFromFileToFileReadsEachAsANewOne) {
  const std::vector<Input> inputs = Inputs();
  ASSERT_GT(inputs.size(), 20U);
  constexpr std::array<std::string_view, 6> kNames = {"Model",     "FNumber",        "Focus Mode",
                                                      "LensModel", "MakerLensModel", "DateTimeOriginal"};
  const TagSelection selection(kNames);
  TimgData kept_full(BuildAll);
  TimgData kept_selective(selection);
  // Forwards and backwards, so that every file follows others of other kinds.
  std::vector<const Input*> order;
  for (const Input& input : inputs) order.push_back(&input);
  for (auto it = inputs.rbegin(); it != inputs.rend(); ++it) order.push_back(&*it);
  for (const Input* input : order) {
    SCOPED_TRACE(input->name);
    TimgData new_full(BuildAll);
    new_full.ProcessBytes(input->bytes, input->extension);
    kept_full.ProcessBytes(input->bytes, input->extension);
    EXPECT_EQ(Outcome(kept_full), Outcome(new_full));
    TimgData new_selective(selection);
    new_selective.ProcessBytes(input->bytes, input->extension);
    kept_selective.ProcessBytes(input->bytes, input->extension);
    EXPECT_EQ(Outcome(kept_selective), Outcome(new_selective));
  }
}

}  // namespace
}  // namespace lumetra
