#include "metadata/IptcData.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>

#include "metadata/ReaderError.h"

namespace lumetra {
namespace {

struct IptcRow {
  uint16_t record;
  uint16_t dataset;
  const char* name;
  const char* desc;
  int32_t max_length;
};

// The IPTC-IIM application record (2) and the subfile dataset of the object data record (8). The names
// are the short ones image editors have long used; the descriptions spell them out.
constexpr IptcRow kIptcRows[] = {
    {2, 0, "SKIP", "Record Version", 64},
    {2, 3, "ObjectType", "Object Type Reference", 67},
    {2, 4, "ObjectAttr", "Object Attribute Reference", 67},
    {2, 5, "ObjectName", "Object name", 64},
    {2, 7, "EditStatus", "Edit Status", 64},
    {2, 8, "EditorialUpdate", "Editorial Update", 2},
    {2, 10, "Urgency", "Urgency", 1},
    {2, 12, "SubRef", "Subject Reference", 236},
    {2, 15, "Category", "Category", 3},
    {2, 20, "SuppCategory", "Supplemental category", 32},
    {2, 22, "FixtureID", "Fixture Identifier", 32},
    {2, 25, "Keywords", "Keywords", 64},
    {2, 26, "ContentLocCode", "Content Location Code", 3},
    {2, 27, "ContentLocName", "Content Location Name", 64},
    {2, 30, "ReleaseDate", "Release Date", 8},
    {2, 35, "ReleaseTime", "Release Time", 11},
    {2, 37, "ExpireDate", "Expiration Date", 8},
    {2, 38, "ExpireTime", "Expiration Time", 11},
    {2, 40, "SpecialInstru", "Special Instructions", 256},
    {2, 42, "ActionAdvised", "Action Advised", 2},
    {2, 45, "RefService", "Reference Service", 10},
    {2, 47, "RefDate", "Reference Date", 8},
    {2, 50, "RefNumber", "Reference Number", 8},
    {2, 55, "DateCreated", "Date Created", 8},
    {2, 60, "TimeCreated", "Time Created", 11},
    {2, 62, "DigitizeDate", "Digital Creation Date", 8},
    {2, 63, "DigitizeTime", "Digital Creation Time", 11},
    {2, 65, "OriginatingProgram", "Originating Program", 32},
    {2, 70, "ProgramVersion", "Program Version", 10},
    {2, 75, "ObjectCycle", "Object Cycle", 1},
    {2, 80, "ByLine", "By-line", 32},
    {2, 85, "ByLineTitle", "By-line Title", 32},
    {2, 90, "City", "City", 32},
    {2, 92, "SubLocation", "Sub-location", 32},
    {2, 95, "State", "Province/State", 32},
    {2, 100, "LocationCode", "Country/Primary Location Code", 3},
    {2, 101, "LocationName", "Country/Primary Location Name", 64},
    {2, 103, "TransmissionRef", "Original Transmission Reference", 32},
    {2, 105, "ImageHeadline", "Headline", 256},
    {2, 110, "ImageCredit", "Credit", 32},
    {2, 115, "Source", "Source", 32},
    {2, 116, "Copyright", "Copyright Notice", 128},
    {2, 118, "Contact", "Contact", 128},
    {2, 120, "ImageCaption", "Caption/Abstract", 2000},
    {2, 122, "ImageCaptionWriter", "Image caption writer", 32},
    {2, 130, "ImageType", "Image Type", 2},
    {2, 131, "Orientation", "Image Orientation", 1},
    {2, 135, "LangID", "Language ID", 3},
    {8, 10, "Subfile", "Subfile", 2},
};
static_assert(std::size(kIptcRows) == 49);

// Every dataset starts with this byte, then the record number, the dataset number and a 16-bit
// big-endian length.
constexpr uint8_t kDatasetMarker = 0x1C;
constexpr std::string_view kResourceText = "Photoshop 3.0";
// Where the datasets are looked for when the resource text is absent (1-based).
constexpr int64_t kDefaultStart = 13;
// Size of the entries of datasets missing from the table.
constexpr int32_t kCustomSize = 64;

bool IsDataRecord(uint8_t record) { return record == 2 || record == 8; }

bool IsRepeatable(uint16_t dataset) {
  return std::find(RepeatableDatasets.begin(), RepeatableDatasets.end(), dataset) != RepeatableDatasets.end();
}

// The byte at 1-based `position` of a dataset header.
uint8_t HeaderByte(std::string_view bytes, int64_t position) {
  const int64_t size = static_cast<int64_t>(bytes.size());
  if (position < 1 || position > size) {
    throw ReaderError("IPTC dataset header byte at position " + std::to_string(position) + " lies outside the " +
                      std::to_string(size) + " bytes");
  }
  return static_cast<uint8_t>(bytes[static_cast<size_t>(position - 1)]);
}

// The table row of a dataset of record 2 or 8; nullptr for one missing from the table. The record version
// 2:0 finds the "SKIP" row, whose Tag 0 keeps it from being listed.
const TTagEntry* FindRow(uint8_t record, uint8_t dataset) {
  for (const TTagEntry& row : IptcTagTable()) {
    if (row.IptcRecord == record && row.Tag == dataset) return &row;
  }
  return nullptr;
}

const TTagEntry* FindRowByName(std::string_view name) {
  for (const TTagEntry& row : IptcTagTable()) {
    if (SameTagName(row.Name, name)) return &row;
  }
  return nullptr;
}

// The entry of one dataset: its table row, or a "Custom_N" entry; an entry with `Tag` 0 (never listed)
// for the record version (2:0 and 8:0) and for the datasets of other records.
TTagEntry DatasetEntry(uint8_t record, uint8_t dataset, std::string_view data) {
  TTagEntry entry;
  if (!IsDataRecord(record)) return entry;
  if (const TTagEntry* row = FindRow(record, dataset)) {
    entry = *row;
  } else {
    entry.Name = "Custom_" + std::to_string(dataset);
    entry.Desc = entry.Name;
    entry.Tag = dataset;
    entry.IptcRecord = record;
    entry.Size = kCustomSize;
  }
  entry.Text = std::string(data);
  return entry;
}

}  // namespace

std::span<const TTagEntry> IptcTagTable() {
  static const std::vector<TTagEntry> table = [] {
    std::vector<TTagEntry> rows;
    rows.reserve(std::size(kIptcRows));
    for (const IptcRow& row : kIptcRows) {
      TTagEntry entry;
      entry.IptcRecord = row.record;
      entry.Tag = row.dataset;
      entry.Name = row.name;
      entry.Desc = row.desc;
      entry.Size = row.max_length;
      rows.push_back(std::move(entry));
    }
    return rows;
  }();
  return table;
}

TIPTCdata::TIPTCdata(TimgData& owner) : Owner(owner) {}

void TIPTCdata::ParseIptc(std::string_view bytes) {
  Tags.clear();
  const int64_t size = static_cast<int64_t>(bytes.size());
  const size_t text_at = bytes.find(kResourceText);
  int64_t position = text_at == std::string_view::npos
                         ? kDefaultStart
                         : static_cast<int64_t>(text_at) + 1 + static_cast<int64_t>(kResourceText.size());

  // The first dataset is a marker followed by record 2 or 8; an APP13 segment with resource blocks but no
  // IPTC block has none, and lists nothing. A marker as the last byte is a header cut off by the end.
  for (;; ++position) {
    if (position > size) return;
    if (HeaderByte(bytes, position) == kDatasetMarker && IsDataRecord(HeaderByte(bytes, position + 1))) break;
  }
  ++position;  // reading starts at the record number

  while (position < size - 2) {
    const uint8_t record = HeaderByte(bytes, position);
    const uint8_t dataset = HeaderByte(bytes, position + 1);
    const int64_t length = HeaderByte(bytes, position + 2) << 8 | HeaderByte(bytes, position + 3);
    const int64_t data_start = position + 4;
    // A length that runs past the end gives the bytes that remain.
    const int64_t available = std::min(length, size - (data_start - 1));
    const std::string_view data = bytes.substr(static_cast<size_t>(data_start - 1), static_cast<size_t>(available));
    // The byte after the data is taken for the next dataset's marker and skipped without being looked at.
    position = data_start + length + 1;

    TTagEntry entry = DatasetEntry(record, dataset, data);
    if (entry.Tag == 0) continue;
    // Repeated supplemental categories and keywords are joined into the first one's entry. The entry is
    // added as read when it is the first: a repeatable dataset of record 8 has no table row to add.
    if (IsRepeatable(dataset)) {
      if (const int index = IptcTagIndex(entry.Name); index >= 0) {
        static_cast<void>(AppendIptcTag(entry.Name, entry.Text));
        continue;
      }
    }
    AddTag(std::move(entry));
  }
}

int TIPTCdata::AddTag(TTagEntry entry) {
  if (entry.Tag == 0) return -1;
  Tags.push_back(std::move(entry));
  return TagCount() - 1;
}

int TIPTCdata::IptcTagIndex(std::string_view name) const {
  for (size_t i = 0; i < Tags.size(); ++i) {
    if (SameTagName(Tags[i].Name, name)) return static_cast<int>(i);
  }
  return -1;
}

std::string TIPTCdata::IptcTagText(std::string_view name, std::string_view default_text) const {
  const int index = IptcTagIndex(name);
  return index < 0 ? std::string(default_text) : Tags[static_cast<size_t>(index)].Text;
}

int TIPTCdata::SetIptcTag(std::string_view name, std::string_view text) {
  if (const int index = IptcTagIndex(name); index >= 0) {
    if (!text.empty()) Tags[static_cast<size_t>(index)].Text = text;
    return index;
  }
  const TTagEntry* row = FindRowByName(name);
  if (row == nullptr) return -1;
  TTagEntry entry = *row;
  entry.Text = text;
  return AddTag(std::move(entry));
}

int TIPTCdata::AppendIptcTag(std::string_view name, std::string_view text) {
  const int index = IptcTagIndex(name);
  if (index < 0) return SetIptcTag(name, text);
  if (!text.empty()) {
    std::string& joined = Tags[static_cast<size_t>(index)].Text;
    joined += ',';
    joined += text;
  }
  return index;
}

void TIPTCdata::RemoveIptcTag(std::string_view name) {
  const int index = IptcTagIndex(name);
  if (index >= 0) Tags.erase(Tags.begin() + index);
}

}  // namespace lumetra
