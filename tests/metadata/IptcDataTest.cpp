// The IPTC reader: where the datasets are found in an APP13 segment, how they become entries, the name
// lookups and edits, the segment kept by the JPEG walk, and the IPTC blocks of real photos.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "metadata/ExifData.h"
#include "metadata/IptcData.h"
#include "metadata/ReaderError.h"
#include "testing/JpegWriter.h"
#include "tests/support/CorpusFolder.h"
#include "tests/support/ExpectThrow.h"

namespace lumetra {
namespace {

using testing::BuildJpeg;
using testing::Segment;
using namespace std::string_literals;

constexpr uint8_t kApp13 = 0xED;

// One dataset: the marker, the record and dataset numbers, a 16-bit big-endian length (the data's own size
// unless given), then the data.
std::string Dataset(uint8_t record, uint8_t dataset, const std::string& data, int length = -1) {
  const int declared = length < 0 ? static_cast<int>(data.size()) : length;
  return "\x1C"s + static_cast<char>(record) + static_cast<char>(dataset) + static_cast<char>(declared >> 8) +
         static_cast<char>(declared & 0xFF) + data;
}

// A segment's `Data`: the two length bytes (which count themselves), then the payload.
std::string SegmentData(const std::string& payload) {
  const size_t length = payload.size() + 2;
  return std::string{static_cast<char>(length >> 8), static_cast<char>(length & 0xFF)} + payload;
}

// What image editors write: "Photoshop 3.0", then an IPTC resource block holding the datasets, padded to an
// even size.
std::string PhotoshopPayload(const std::string& datasets) {
  const size_t size = datasets.size();
  std::string block = "8BIM\x04\x04\0\0"s + static_cast<char>(size >> 24) + static_cast<char>(size >> 16 & 0xFF) +
                      static_cast<char>(size >> 8 & 0xFF) + static_cast<char>(size & 0xFF) + datasets;
  if (size % 2 != 0) block += '\0';
  return "Photoshop 3.0\0"s + block;
}

std::string PhotoshopData(const std::string& datasets) { return SegmentData(PhotoshopPayload(datasets)); }

// The listed entries as "record:dataset Name=Text", in list order.
std::vector<std::string> Listed(const TIPTCdata& iptc) {
  std::vector<std::string> listed;
  for (const TTagEntry& entry : iptc.Tags) {
    listed.push_back(std::to_string(entry.IptcRecord) + ":" + std::to_string(entry.Tag) + " " + entry.Name + "=" +
                     entry.Text);
  }
  return listed;
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

class IptcTest : public ::testing::Test {
 protected:
  TimgData owner_{BuildAll};
  TIPTCdata iptc_{owner_};
};

TEST_F(IptcTest, ParseIptcListsTheDatasetsOfRecordsTwoAndEight) {
  struct Case {
    const char* what;
    std::string bytes;
    std::vector<std::string> listed;
  };
  const Case cases[] = {
      {"repeated keywords are joined by a comma",
       PhotoshopData(Dataset(2, 25, "sea") + Dataset(2, 25, "sun")),
       {"2:25 Keywords=sea,sun"}},
      {"repeated supplemental categories too, into the first one's place",
       PhotoshopData(Dataset(2, 20, "SPO") + Dataset(2, 90, "Pasadena") + Dataset(2, 20, "SOC")),
       {"2:20 SuppCategory=SPO,SOC", "2:90 City=Pasadena"}},
      {"an empty repetition adds nothing",
       PhotoshopData(Dataset(2, 25, "sea") + Dataset(2, 25, "") + Dataset(2, 25, "sun")),
       {"2:25 Keywords=sea,sun"}},
      {"an empty first keyword leaves a leading comma",
       PhotoshopData(Dataset(2, 25, "") + Dataset(2, 25, "sun")),
       {"2:25 Keywords=,sun"}},
      {"other datasets repeated stay apart",
       PhotoshopData(Dataset(2, 90, "Mainz") + Dataset(2, 90, "Bonn")),
       {"2:90 City=Mainz", "2:90 City=Bonn"}},
      {"a dataset missing from the table is listed by its number",
       PhotoshopData(Dataset(2, 200, "x") + Dataset(8, 201, "y")),
       {"2:200 Custom_200=x", "8:201 Custom_201=y"}},
      {"record 8 dataset 10 is the subfile, record 2 dataset 10 the urgency",
       PhotoshopData(Dataset(2, 10, "5") + Dataset(8, 10, "ab")),
       {"2:10 Urgency=5", "8:10 Subfile=ab"}},
      {"the record version 2:0 is not listed",
       PhotoshopData(Dataset(2, 0, "\0\x02"s) + Dataset(2, 5, "Kyra") + Dataset(8, 0, "v")),
       {"2:5 ObjectName=Kyra"}},
      {"datasets of other records are not listed nor joined",
       PhotoshopData(Dataset(2, 25, "sea") + Dataset(3, 25, "sky") + Dataset(1, 90, "\x1B%G") + Dataset(9, 5, "z")),
       {"2:25 Keywords=sea"}},
      {"a repeatable dataset of record 8 is listed and joined by its number",
       PhotoshopData(Dataset(8, 25, "a") + Dataset(2, 25, "sea") + Dataset(8, 25, "b")),
       {"8:25 Custom_25=a,b", "2:25 Keywords=sea"}},
      {"the scan skips records before the first of record 2 or 8",
       PhotoshopData(Dataset(1, 0, "\0\x04"s) + Dataset(1, 90, "\x1B%G") + Dataset(2, 90, "Mainz")),
       {"2:90 City=Mainz"}},
      {"the byte before each further dataset is skipped without being looked at",
       PhotoshopData(Dataset(2, 90, "Mainz") + "X" + Dataset(2, 95, "Hessen").substr(1)),
       {"2:90 City=Mainz", "2:95 State=Hessen"}},
      {"a length past the end gives the bytes that remain",
       SegmentData("Photoshop 3.0\0"s + Dataset(2, 90, "Mainz") + Dataset(2, 120, "short", 100)),
       {"2:90 City=Mainz", "2:120 ImageCaption=short"}},
      {"a header that ends the bytes gives an empty text",
       SegmentData("Photoshop 3.0\0"s + Dataset(2, 90, "Mainz") + Dataset(2, 120, "", 100)),
       {"2:90 City=Mainz", "2:120 ImageCaption="}},
      {"three header bytes at the end are not read",
       SegmentData("Photoshop 3.0\0"s + Dataset(2, 90, "Mainz") + "\x1C\x02\x78\x00"s),
       {"2:90 City=Mainz"}},
      {"resource blocks without an IPTC block list nothing",
       // A resolution block: type, id 0x03ED, an empty name, the size 4, the data.
       SegmentData("Photoshop 3.0\0"s + "8BIM\x03\xED\0\0"s + "\0\0\0\x04"s + "\x01\x2C\0\x01"s),
       {}},
      {"a segment shorter than where the scan starts lists nothing", SegmentData("\x1C\x02\x19\0\0"s), {}},
      {"an empty segment lists nothing", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    iptc_.ParseIptc(c.bytes);
    EXPECT_EQ(Listed(iptc_), c.listed);
  }
}

TEST_F(IptcTest, ParseIptcLooksForTheDatasetsAfterThePhotoshopTextOrFromPositionThirteen) {
  const std::string keyword = Dataset(2, 25, "sun");
  struct Case {
    const char* what;
    std::string bytes;
    std::vector<std::string> listed;
  };
  const Case cases[] = {
      // Positions are 1-based: the two length bytes are 1 and 2, the payload starts at 3.
      {"without the text, a marker at position 13 is found",
       "\0\0"s + std::string(10, 'x') + keyword,
       {"2:25 Keywords=sun"}},
      {"without the text, a marker at position 12 is not",
       "\0\0"s + std::string(9, 'x') + keyword + std::string(8, 'x'),
       {}},
      {"without the text, the first dataset from position 13 on is the first read",
       "\0\0"s + Dataset(2, 90, "early") + std::string(4, 'x') + keyword,
       {"2:25 Keywords=sun"}},
      {"a marker right after the text is found",
       "\0\0"s + std::string(12, 'x') + "Photoshop 3.0" + keyword,
       {"2:25 Keywords=sun"}},
      {"a dataset before the text is not read",
       "\0\0"s + std::string(12, 'x') + Dataset(2, 90, "early") + "Photoshop 3.0\0"s + keyword,
       {"2:25 Keywords=sun"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    iptc_.ParseIptc(c.bytes);
    EXPECT_EQ(Listed(iptc_), c.listed);
  }
}

TEST_F(IptcTest, ADatasetMarkerAsTheLastByteFailsAndLeavesTheListEmpty) {
  iptc_.ParseIptc(PhotoshopData(Dataset(2, 25, "sea")));
  ASSERT_EQ(iptc_.TagCount(), 1);
  // 2 length bytes, "Photoshop 3.0", a zero, the marker: its record number would be byte 18 of 17.
  const std::string bytes = SegmentData("Photoshop 3.0\0\x1C"s);
  ASSERT_EQ(bytes.size(), 17u);
  testing::ExpectThrowWithMessage<ReaderError>([&] { iptc_.ParseIptc(bytes); },
                                               "IPTC dataset header byte at position 18 lies outside the 17 bytes");
  EXPECT_EQ(iptc_.TagCount(), 0);
}

TEST_F(IptcTest, ParseIptcReplacesTheList) {
  iptc_.ParseIptc(PhotoshopData(Dataset(2, 25, "sea")));
  iptc_.ParseIptc(PhotoshopData(Dataset(2, 25, "sun")));
  EXPECT_EQ(Listed(iptc_), std::vector<std::string>{"2:25 Keywords=sun"});
}

TEST_F(IptcTest, EntriesAreCopiesOfTheirTableRows) {
  iptc_.ParseIptc(PhotoshopData(Dataset(2, 101, "Hungary") + Dataset(2, 222, "z")));
  ASSERT_EQ(iptc_.TagCount(), 2);
  const TTagEntry& named = iptc_.Tags[0];
  EXPECT_EQ(named.Name, "LocationName");
  EXPECT_EQ(named.Desc, "Country/Primary Location Name");
  EXPECT_EQ(named.Size, 64);
  const TTagEntry& custom = iptc_.Tags[1];
  EXPECT_EQ(custom.Desc, "Custom_222");
  EXPECT_EQ(custom.Size, 64);
  EXPECT_EQ(custom.IptcRecord, 2);
}

TEST_F(IptcTest, LookupsIgnoreTheCaseOfLetters) {
  iptc_.ParseIptc(PhotoshopData(Dataset(2, 90, "Mainz") + Dataset(2, 25, "sea") + Dataset(2, 90, "Bonn")));
  struct Case {
    const char* name;
    int index;
    const char* text;
  };
  const Case cases[] = {
      {"Keywords", 1, "sea"}, {"KEYWORDS", 1, "sea"}, {"city", 0, "Mainz"},  // the first listed wins
      {"Town", -1, "none"},   {"", -1, "none"},       {"Citi", -1, "none"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(iptc_.IptcTagIndex(c.name), c.index);
    EXPECT_EQ(iptc_.IptcTagText(c.name, "none"), c.text);
  }
}

TEST_F(IptcTest, SetAppendAndRemoveChangeTheList) {
  enum class Op { kSet, kAppend, kRemove };
  struct Step {
    Op op;
    const char* name;
    const char* text;
    int result;
    std::vector<std::string> listed;
  };
  const Step steps[] = {
      {Op::kSet, "city", "Mainz", 0, {"2:90 City=Mainz"}},
      {Op::kSet, "CITY", "Bonn", 0, {"2:90 City=Bonn"}},
      {Op::kSet, "City", "", 0, {"2:90 City=Bonn"}},
      {Op::kSet, "Town", "Bonn", -1, {"2:90 City=Bonn"}},
      {Op::kSet, "skip", "\x02", -1, {"2:90 City=Bonn"}},
      {Op::kSet, "subfile", "ab", 1, {"2:90 City=Bonn", "8:10 Subfile=ab"}},
      {Op::kAppend, "keywords", "sea", 2, {"2:90 City=Bonn", "8:10 Subfile=ab", "2:25 Keywords=sea"}},
      {Op::kAppend, "Keywords", "sun", 2, {"2:90 City=Bonn", "8:10 Subfile=ab", "2:25 Keywords=sea,sun"}},
      {Op::kAppend, "Keywords", "", 2, {"2:90 City=Bonn", "8:10 Subfile=ab", "2:25 Keywords=sea,sun"}},
      {Op::kAppend, "Custom_200", "x", -1, {"2:90 City=Bonn", "8:10 Subfile=ab", "2:25 Keywords=sea,sun"}},
      {Op::kSet, "ByLine", "", 3, {"2:90 City=Bonn", "8:10 Subfile=ab", "2:25 Keywords=sea,sun", "2:80 ByLine="}},
      {Op::kRemove, "SUBFILE", "", 0, {"2:90 City=Bonn", "2:25 Keywords=sea,sun", "2:80 ByLine="}},
      {Op::kRemove, "Subfile", "", 0, {"2:90 City=Bonn", "2:25 Keywords=sea,sun", "2:80 ByLine="}},
      {Op::kRemove, "City", "", 0, {"2:25 Keywords=sea,sun", "2:80 ByLine="}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(std::to_string(static_cast<int>(step.op)) + " " + step.name + " " + step.text);
    switch (step.op) {
      case Op::kSet:
        EXPECT_EQ(iptc_.SetIptcTag(step.name, step.text), step.result);
        break;
      case Op::kAppend:
        EXPECT_EQ(iptc_.AppendIptcTag(step.name, step.text), step.result);
        break;
      case Op::kRemove:
        iptc_.RemoveIptcTag(step.name);
        break;
    }
    EXPECT_EQ(Listed(iptc_), step.listed);
  }
}

TEST_F(IptcTest, RemoveTakesTheFirstOfTwoEntriesOfOneName) {
  iptc_.ParseIptc(PhotoshopData(Dataset(2, 90, "Mainz") + Dataset(2, 25, "sea") + Dataset(2, 90, "Bonn")));
  iptc_.RemoveIptcTag("City");
  EXPECT_EQ(Listed(iptc_), (std::vector<std::string>{"2:25 Keywords=sea", "2:90 City=Bonn"}));
}

TEST(IptcTagTable, RowsAreUniqueAndInRecordAndDatasetOrder) {
  const auto table = IptcTagTable();
  ASSERT_FALSE(table.empty());
  for (size_t i = 0; i < table.size(); ++i) {
    SCOPED_TRACE(table[i].Name);
    EXPECT_TRUE(table[i].IptcRecord == 2 || table[i].IptcRecord == 8);
    EXPECT_FALSE(table[i].Desc.empty());
    EXPECT_GT(table[i].Size, 0);
    if (i > 0) {
      EXPECT_LT(table[i - 1].IptcRecord * 256 + table[i - 1].Tag, table[i].IptcRecord * 256 + table[i].Tag);
    }
    for (size_t j = 0; j < i; ++j) {
      EXPECT_NE(Lower(table[i].Name), Lower(table[j].Name)) << "names are looked up without regard to case";
    }
  }
}

TEST(IptcTagTable, SpotRowsHaveTheirNamesDescriptionsAndMaximumLengths) {
  struct Row {
    uint16_t record;
    uint16_t dataset;
    const char* name;
    const char* desc;
    int32_t size;
  };
  const Row rows[] = {
      {2, 0, "SKIP", "Record Version", 64},
      {2, 5, "ObjectName", "Object name", 64},
      {2, 20, "SuppCategory", "Supplemental category", 32},
      {2, 26, "ContentLocCode", "Content Location Code", 3},
      {2, 101, "LocationName", "Country/Primary Location Name", 64},
      {2, 103, "TransmissionRef", "Original Transmission Reference", 32},
      {2, 116, "Copyright", "Copyright Notice", 128},
      {2, 120, "ImageCaption", "Caption/Abstract", 2000},
      {2, 122, "ImageCaptionWriter", "Image caption writer", 32},
      {2, 135, "LangID", "Language ID", 3},
      {8, 10, "Subfile", "Subfile", 2},
  };
  const auto table = IptcTagTable();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto found = std::find_if(table.begin(), table.end(), [&row](const TTagEntry& entry) {
      return entry.IptcRecord == row.record && entry.Tag == row.dataset;
    });
    ASSERT_NE(found, table.end());
    EXPECT_EQ(found->Name, row.name);
    EXPECT_EQ(found->Desc, row.desc);
    EXPECT_EQ(found->Size, row.size);
  }
}

TEST(TimgDataIptc, TheFirstApp13GetsAnUnreadIptcReader) {
  const Segment first{kApp13, PhotoshopPayload(Dataset(2, 25, "sea") + Dataset(2, 25, "sun")), std::nullopt};
  const Segment second{kApp13, PhotoshopPayload(Dataset(2, 25, "later")), std::nullopt};
  TimgData data(BuildAll);
  ASSERT_TRUE(data.ProcessBytes(BuildJpeg({testing::JfifSegment(), first, second}), ".jpg"));
  ASSERT_EQ(data.IptcSection, 2);
  ASSERT_NE(data.IptcInfo, nullptr);
  EXPECT_EQ(&data.IptcInfo->Owner, &data);
  EXPECT_EQ(data.IptcInfo->TagCount(), 0);  // read only on request

  data.IptcInfo->ParseIptc(data.Sections[static_cast<size_t>(data.IptcSection)].Data);
  EXPECT_EQ(Listed(*data.IptcInfo), std::vector<std::string>{"2:25 Keywords=sea,sun"});
  EXPECT_EQ(data.Sections[3].Marker, kApp13);  // the later one stays in its slot
}

TEST(TimgDataIptc, AFileWithoutApp13HasNoIptcReaderAndAResetDropsIt) {
  TimgData data(BuildAll);
  data.ProcessBytes(BuildJpeg({{kApp13, PhotoshopPayload(Dataset(2, 25, "sea")), std::nullopt}}), ".jpg");
  ASSERT_NE(data.IptcInfo, nullptr);
  data.ProcessBytes(BuildJpeg({testing::JfifSegment()}), ".jpg");
  EXPECT_EQ(data.IptcInfo, nullptr);
  data.ProcessBytes(BuildJpeg({{kApp13, "x", std::nullopt}}), ".jpg");
  ASSERT_NE(data.IptcInfo, nullptr);
  data.Reset();
  EXPECT_EQ(data.IptcInfo, nullptr);
}

// The app13 column of the corpus's FEATURES.tsv per file: "iptc", "ps-noiptc" or empty.
std::map<std::string, std::string> App13Features(const std::filesystem::path& folder) {
  std::map<std::string, std::string> features;
  std::ifstream table(folder / "FEATURES.tsv");
  std::string line;
  std::getline(table, line);
  std::vector<std::string> header;
  std::stringstream header_row(line);
  for (std::string column; std::getline(header_row, column, '\t');) header.push_back(column);
  const auto app13 = static_cast<size_t>(std::find(header.begin(), header.end(), "app13") - header.begin());
  while (std::getline(table, line)) {
    std::vector<std::string> columns;
    std::stringstream row(line);
    for (std::string column; std::getline(row, column, '\t');) columns.push_back(column);
    if (columns.size() > app13) features[columns[0]] = columns[app13];
  }
  return features;
}

TEST(IptcCorpus, EveryApp13ParsesAndHasDatasetsWhenItHasAnIptcBlock) {
  LUMETRA_CORPUS_OR_SKIP(folder);
  const auto features = App13Features(*folder);
  ASSERT_GT(features.size(), 100u);
  int with_app13 = 0;
  for (const auto& [file, app13] : features) {
    SCOPED_TRACE(file);
    TimgData data(BuildAll);
    data.ProcessFile((*folder / file).string());
    EXPECT_EQ(data.IptcInfo != nullptr, !app13.empty());
    if (!data.IptcInfo) continue;
    ++with_app13;
    try {
      data.IptcInfo->ParseIptc(data.Sections[static_cast<size_t>(data.IptcSection)].Data);
    } catch (const ReaderError& error) {
      ADD_FAILURE() << error.what();
    }
    EXPECT_EQ(data.IptcInfo->TagCount() > 0, app13 == "iptc") << app13;
  }
  EXPECT_GT(with_app13, 0);
}

// Values checked against `exiftool -IPTC:all` on the same files; exiftool shows repeated datasets joined
// by ", " where this reader joins them by ",".
TEST(IptcCorpus, DatasetsMatchTheReference) {
  LUMETRA_CORPUS_OR_SKIP(folder);
  struct Case {
    const char* file;
    std::vector<std::string> listed;
  };
  const Case cases[] = {
      {"Nokia/iptc.jpg",
       {"2:90 City=Budapest", "2:101 LocationName=Hungary",
        "2:25 Keywords=HvK,2006,summer,July,holiday,Hungary,Budapest"}},
      {"Nokia/Nokia Lumia 800.jpg", {"2:25 Keywords=2012,dublin,ireland,june,lumia"}},
      {"Nikon/Nikon D70.jpg",
       {"2:80 ByLine=Drew Noakes", "2:110 ImageCredit=Drew Noakes", "2:90 City=London", "2:101 LocationName=England",
        "2:116 Copyright=http://drewnoakes.com"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    TimgData data(BuildAll);
    data.ProcessFile((*folder / c.file).string());
    ASSERT_NE(data.IptcInfo, nullptr);
    data.IptcInfo->ParseIptc(data.Sections[static_cast<size_t>(data.IptcSection)].Data);
    EXPECT_EQ(Listed(*data.IptcInfo), c.listed);
  }
}

// Checked against `exiftool -IPTC:all`: a Getty Images block with repeated supplemental categories, the
// record version late in the block and an empty document history (2:231); and a Latin-1 caption of
// 845 bytes.
TEST(IptcCorpus, SingleDatasetsMatchTheReference) {
  LUMETRA_CORPUS_OR_SKIP(folder);
  TimgData getty(BuildAll);
  getty.ProcessFile((*folder / "Canon/Issue 122.jpg").string());
  ASSERT_NE(getty.IptcInfo, nullptr);
  TIPTCdata& iptc = *getty.IptcInfo;
  iptc.ParseIptc(getty.Sections[static_cast<size_t>(getty.IptcSection)].Data);
  EXPECT_EQ(iptc.TagCount(), 15);
  EXPECT_EQ(iptc.IptcTagText("SuppCategory", "-"), "SPO,SOC");
  EXPECT_EQ(iptc.IptcTagText("ObjectName", "-"), "9401004P  S KOREA V USA X");
  EXPECT_EQ(iptc.IptcTagText("DateCreated", "-"), "20020119");
  EXPECT_EQ(iptc.IptcTagText("LocationName", "-"), "United States");
  EXPECT_EQ(iptc.IptcTagText("Custom_231", "-"), "");
  EXPECT_EQ(iptc.IptcTagIndex("SKIP"), -1);

  TimgData nikon(BuildAll);
  nikon.ProcessFile((*folder / "Nikon/Nikon E995 (iptc).jpg").string());
  ASSERT_NE(nikon.IptcInfo, nullptr);
  nikon.IptcInfo->ParseIptc(nikon.Sections[static_cast<size_t>(nikon.IptcSection)].Data);
  ASSERT_EQ(nikon.IptcInfo->TagCount(), 1);
  const std::string caption = nikon.IptcInfo->IptcTagText("ImageCaption", "-");
  EXPECT_EQ(caption.size(), 845u);
  const std::string start =
      "Dateiname : DSCN1767.JPG\r\nDateigr\xF6\xDF"
      "e : 668.1 KB";
  const std::string end = "H\xF6he (GPS) : N/A";
  EXPECT_EQ(caption.substr(0, start.size()), start);
  EXPECT_EQ(caption.substr(caption.size() - end.size()), end);
}

}  // namespace
}  // namespace lumetra
