// The photo store: rows and paths come back as they were appended, however the paths are split and kept.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "survey/PhotoStore.h"
#include "tests/survey/RecordBuilder.h"

namespace lumetra {
namespace {

using testing::SamplePhoto;

// Every field and label of row `index` against `record`.
void ExpectRow(const PhotoStore& store, size_t index, const PhotoRecord& record) {
  const PhotoRecord row = store.Row(index);
  EXPECT_EQ(store.Path(index), record.path);
  for (int field = 0; field < PhotoRecord::kFieldCount; ++field) {
    EXPECT_EQ(row.Field(field), record.Field(field)) << "field " << field;
  }
  EXPECT_EQ(row.labels, record.labels);
}

TEST(PhotoStore, PathsComeBackByteForByte) {
  const std::vector<std::string> paths = {
      "/photos/a.jpg",
      "/photos/b.jpg",
      "/other/a.jpg",
      "/photos/c.jpg",  // a folder met again after another
      "a.jpg",          // no folder
      "/photos/",       // no name
      "",
      "/",
      "//double//slash.jpg",
      std::string("/nul/x\0y.jpg", 12),
      std::string("/nul\0dir/z.jpg", 14),
      "/Фото/Отпуск 2020/ИМГ_0001.JPG",
      "/big/" + std::string(70000, 'n') + ".jpg",  // longer than a block of names
      "/big/after.jpg",
  };
  PhotoStore store;
  for (const std::string& path : paths) store.Append(SamplePhoto(path));
  ASSERT_EQ(store.size(), paths.size());
  for (size_t i = 0; i < paths.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(store.Path(i), paths[i]);
    EXPECT_EQ(store.Row(i).path, paths[i]);
    EXPECT_EQ(store.TextId(i, kPath), PhotoStore::kNoTextId);
  }
}

TEST(PhotoStore, ManyRowsKeepTheirTextsAcrossBlocksAndAfterClearing) {
  std::vector<PhotoRecord> records;
  for (int i = 0; i < 10000; ++i) {
    PhotoRecord record =
        SamplePhoto("/library/folder" + std::to_string(i / 111) + "/IMG_" + std::to_string(i) + ".JPG");
    record.model = "Model " + std::to_string(i % 7);
    record.iso = std::to_string(100 * (i % 13));
    if (i % 5 == 0) record.SetLabel(kFocal, LabelId::NotDeterminedN, kEnglish);
    records.push_back(record);
  }
  PhotoStore store;
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass);
    store.clear();
    EXPECT_TRUE(store.empty());
    // The second pass keeps fewer photos than the first.
    const size_t count = pass == 0 ? records.size() : 4100;
    for (size_t i = 0; i < count; ++i) store.Append(records[i]);
    ASSERT_EQ(store.size(), count);
    for (size_t i = 0; i < count; i += 97) ExpectRow(store, i, records[i]);
    ExpectRow(store, count - 1, records[count - 1]);
    // Equal texts share a number; 7 models and 13 ISO values, whatever the rows.
    EXPECT_EQ(store.TextId(0, kModel), store.TextId(7, kModel));
    EXPECT_NE(store.TextId(0, kModel), store.TextId(1, kModel));
  }
}

// Thousands of distinct texts (the index grows many times) and a label's text in either language, in rows
// that are not neighbours: each text keeps one number, and every row its own texts.
TEST(PhotoStore, EachTextHasOneNumberHoweverManyTextsAndLanguages) {
  std::vector<PhotoRecord> records;
  for (int i = 0; i < 5000; ++i) {
    PhotoRecord record = SamplePhoto("/p/" + std::to_string(i) + ".jpg");
    record.lens = "Lens " + std::to_string(i);
    record.model = "Model " + std::to_string(i % 3);
    record.SetLabel(kProgram, i % 4 < 2 ? LabelId::LabelManual : LabelId::LabelPortrait,
                    i % 2 == 0 ? kEnglish : kRussian);
    records.push_back(record);
  }
  PhotoStore store;
  for (const PhotoRecord& record : records) store.Append(record);
  for (size_t i = 0; i < records.size(); ++i) {
    SCOPED_TRACE(i);
    ExpectRow(store, i, records[i]);
    // Rows four apart hold the same program text, in the same language; the lens is new in every row.
    if (i >= 4) {
      EXPECT_EQ(store.TextId(i, kProgram), store.TextId(i - 4, kProgram));
      EXPECT_NE(store.TextId(i, kLens), store.TextId(i - 4, kLens));
    }
    if (i >= 1) {
      EXPECT_NE(store.TextId(i, kProgram), store.TextId(i - 1, kProgram));
    }
  }
  EXPECT_LT(store.TextCount(), records.size() + 30);
}

TEST(PhotoStore, SetTextChangesOneFieldOfOneRow) {
  PhotoStore store;
  PhotoRecord first = SamplePhoto("/p/1.jpg");
  PhotoRecord second = SamplePhoto("/p/2.jpg");
  first.SetLabel(kCrop, LabelId::NotDeterminedM, kEnglish);
  store.Append(first);
  store.Append(second);
  store.SetText(0, kCrop, "1.5");
  first.crop = "1.5";
  first.labels[kCrop] = LabelId::kNone;
  ExpectRow(store, 0, first);
  ExpectRow(store, 1, second);
}

}  // namespace
}  // namespace lumetra
