#include "crop/CropStore.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <deque>
#include <numeric>
#include <unordered_map>
#include <utility>

#include "files/ReadOwnFile.h"
#include "files/ReplaceFile.h"
#include "numbers/FixedPoint.h"
#include "numbers/NumberText.h"
#include "text/TextEncoding.h"
#include "text/TextLines.h"

namespace lumetra {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The length of the character that starts at `pos`: a whole UTF-8 sequence, or 1 for an ASCII byte and
// for a byte that does not start a complete sequence.
size_t CharacterLength(std::string_view text, size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  size_t length = 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
  }
  if (length > text.size() - pos) return 1;
  for (size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80) return 1;
  }
  return length;
}

// The rank of every character of a key, in order; every character that is not ASCII ranks as "q".
std::vector<int> KeyRanks(std::string_view key) {
  std::vector<int> ranks;
  ranks.reserve(key.size());
  for (size_t pos = 0; pos < key.size();) {
    const size_t length = CharacterLength(key, pos);
    const auto byte = static_cast<unsigned char>(key[pos]);
    ranks.push_back(CameraSortRank(length == 1 && byte < 0x80 ? char32_t{byte} : char32_t{0xFFFD}));
    pos += length;
  }
  return ranks;
}

// A text written into a field of the crop file: TAB, CR and LF would break the line apart, so they
// become spaces.
std::string FieldText(std::string_view text) {
  std::string field(text);
  std::replace_if(
      field.begin(), field.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  return field;
}

}  // namespace

std::string CropFileResult::Message() const {
  if (ok()) return {};
  return file + ": " + reason;
}

namespace {

// One camera line of the crop file, and where its factor text stands in it.
struct CropLine {
  CropRecord record;
  size_t factor_begin = 0;
  size_t factor_end = 0;
};

// The camera of one line without its line end; nothing for a line that is not one (fewer than two TABs,
// a factor that is not a number or lies outside (0, 100]).
std::optional<CropLine> ParseCropLine(std::string_view line, char decimal_separator) {
  const size_t first_tab = line.find('\t');
  const size_t second_tab = first_tab == std::string_view::npos ? first_tab : line.find('\t', first_tab + 1);
  if (second_tab == std::string_view::npos) return std::nullopt;
  const size_t third_tab = line.find('\t', second_tab + 1);
  const size_t factor_end = third_tab == std::string_view::npos ? line.size() : third_tab;
  const std::optional<int64_t> factor =
      ParseCropFactor(line.substr(second_tab + 1, factor_end - second_tab - 1), decimal_separator);
  if (!factor || !IsValidCropFactor(*factor)) return std::nullopt;
  return CropLine{{CutCropText(TextAsUtf8(line.substr(0, first_tab))),
                   CutCropText(TextAsUtf8(line.substr(first_tab + 1, second_tab - first_tab - 1))), *factor},
                  second_tab + 1,
                  factor_end};
}

// The lines of crop-file content after a UTF-8 byte order mark, which goes to `mark`.
std::vector<TextLine> SplitCropLines(std::string_view bytes, std::string_view& mark) {
  mark = bytes.substr(0, bytes.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0);
  bytes.remove_prefix(mark.size());
  return SplitLinesKeepingEnds(bytes);
}

}  // namespace

void ReadCropLines(std::string_view bytes, char decimal_separator, std::vector<CropRecord>& records,
                   std::vector<size_t>& skipped_lines) {
  std::string_view mark;
  const std::vector<TextLine> lines = SplitCropLines(bytes, mark);
  for (size_t index = 0; index < lines.size(); ++index) {
    if (lines[index].text.empty()) continue;
    if (std::optional<CropLine> line = ParseCropLine(lines[index].text, decimal_separator)) {
      records.push_back(std::move(line->record));
    } else {
      skipped_lines.push_back(index + 1);
    }
  }
}

std::optional<int64_t> ParseCropFactor(std::string_view text, char decimal_separator) {
  std::optional<double> value = ReadRegionalDecimal(text, decimal_separator);
  if (!value) {
    const size_t mark = text.find_first_of(".,");
    if (mark == std::string_view::npos) return std::nullopt;
    std::string regional(text);
    regional[mark] = decimal_separator;
    value = ReadRegionalDecimal(regional, decimal_separator);
    if (!value) return std::nullopt;
  }
  return ToFixedPoint(*value);
}

bool IsValidCropFactor(int64_t factor) { return factor > 0 && factor <= kMaxCropFactor; }

std::string CropFactorText(int64_t factor, char decimal_separator) {
  std::string text = DecimalText(static_cast<double>(factor) / kFixedPointUnit);
  std::replace(text.begin(), text.end(), '.', decimal_separator);
  return text;
}

std::string CutCropText(std::string_view text) {
  size_t pos = 0;
  for (size_t characters = 0; pos < text.size() && characters < kCropTextLimit; ++characters) {
    pos += CharacterLength(text, pos);
  }
  return std::string(text.substr(0, pos));
}

namespace {

void UseDefaultCropTable(CropStore& store, char decimal_separator) {
  for (const CropTableRow& row : DefaultCropTable) {
    store.records.push_back(
        {CutCropText(row.Make), CutCropText(row.Model), ParseCropFactor(row.Factor, decimal_separator).value_or(0)});
  }
}

}  // namespace

CropFileResult LoadCropStore(CropStore& store, const std::filesystem::path& file, char decimal_separator) {
  CropFileResult result;
  result.file = file.string();
  store.records.clear();
  store.CropStoreChanged = false;
  store.load_failed_ = false;
  store.loaded_bytes_.clear();

  OwnFileRead read = ReadOwnFile(file);
  switch (read.outcome) {
    case OwnFileRead::Outcome::kMissing: {
      // No crop file yet: the built-in list becomes the store and the new file, lines ending in a TAB.
      std::string content;
      for (const CropTableRow& row : DefaultCropTable) {
        content.append(row.Make).append("\t").append(row.Model).append("\t").append(row.Factor).append("\t\r\n");
      }
      UseDefaultCropTable(store, decimal_separator);
      store.loaded_bytes_ = content;
      if (const std::optional<std::string> failure = ReplaceFile(file, content)) {
        result.reason = "cannot be created: " + *failure;
      } else {
        result.written = true;
      }
      return result;
    }
    case OwnFileRead::Outcome::kUnopened:
      store.load_failed_ = true;
      result.reason = "cannot be read: " + read.reason;
      return result;
    case OwnFileRead::Outcome::kRefused:
      // Something that is not a crop file is there: it is neither read nor ever saved over.
      UseDefaultCropTable(store, decimal_separator);
      store.load_failed_ = true;
      result.reason = "not read (" + read.reason + "): the built-in list is used and the file is left as it is";
      return result;
    case OwnFileRead::Outcome::kCutShort: {
      // The lines read in full still serve lookups; a cut last line could hold a wrong factor.
      const size_t last_line_end = read.bytes.rfind('\n');
      read.bytes.resize(last_line_end == std::string::npos ? 0 : last_line_end + 1);
      store.load_failed_ = true;
      result.reason = "cannot be read: " + read.reason;
      break;
    }
    case OwnFileRead::Outcome::kRead:
      break;
  }
  ReadCropLines(read.bytes, decimal_separator, store.records, result.skipped_lines);
  store.loaded_bytes_ = std::move(read.bytes);
  return result;
}

namespace {

// What became of each camera line of the loaded file: the record still equal to it, or else the record of
// the same camera whose factor was edited (neither: the camera was deleted); and which records a line took.
struct LineMatches {
  std::vector<std::optional<size_t>> unchanged;
  std::vector<std::optional<size_t>> edited;
  std::vector<bool> taken;
};

// Each camera line finds the record it became: first a record still equal to it, then one of the same
// camera whose factor was edited. Records are taken in store order, so of two equal lines the first finds
// the first record.
LineMatches MatchLinesToRecords(const std::vector<std::optional<CropLine>>& cameras,
                                const std::vector<CropRecord>& records) {
  std::unordered_map<std::string, std::deque<size_t>> by_camera;
  std::unordered_map<std::string, std::deque<size_t>> by_record;
  const auto camera_key = [](const CropRecord& record) { return record.Make + '\0' + record.Model; };
  const auto record_key = [&](const CropRecord& record) {
    return camera_key(record) + '\0' + std::to_string(record.Factor);
  };
  for (size_t i = 0; i < records.size(); ++i) {
    by_camera[camera_key(records[i])].push_back(i);
    by_record[record_key(records[i])].push_back(i);
  }
  LineMatches matches{std::vector<std::optional<size_t>>(cameras.size()),
                      std::vector<std::optional<size_t>>(cameras.size()), std::vector<bool>(records.size(), false)};
  const auto take = [&matches](std::deque<size_t>& candidates) -> std::optional<size_t> {
    while (!candidates.empty() && matches.taken[candidates.front()]) candidates.pop_front();
    if (candidates.empty()) return std::nullopt;
    matches.taken[candidates.front()] = true;
    return candidates.front();
  };
  for (size_t i = 0; i < cameras.size(); ++i) {
    if (cameras[i]) matches.unchanged[i] = take(by_record[record_key(cameras[i]->record)]);
  }
  for (size_t i = 0; i < cameras.size(); ++i) {
    if (cameras[i] && !matches.unchanged[i]) matches.edited[i] = take(by_camera[camera_key(cameras[i]->record)]);
  }
  return matches;
}

// The crop file for `records`, made from the file as it was loaded: every line that is not a camera
// (comments, make-only lines, bad factors, empty lines) and every camera line whose record is unchanged
// stays byte for byte in its place; an edited camera's line gets its new factor and nothing else; a
// deleted camera's line goes; cameras the file did not have are appended, one line each.
std::string ComposeCropFile(std::string_view loaded, const std::vector<CropRecord>& records, char decimal_separator) {
  std::string_view mark;
  const std::vector<TextLine> lines = SplitCropLines(loaded, mark);
  std::vector<std::optional<CropLine>> cameras;
  cameras.reserve(lines.size());
  for (const TextLine& line : lines) cameras.push_back(ParseCropLine(line.text, decimal_separator));
  const auto [unchanged, edited, taken] = MatchLinesToRecords(cameras, records);

  std::string content(mark);
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view text = lines[i].text;
    if (!cameras[i] || unchanged[i]) {
      content.append(text);
    } else if (edited[i]) {
      // Only the factor is rewritten: the names keep their bytes, whatever their encoding.
      content.append(text.substr(0, cameras[i]->factor_begin))
          .append(CropFactorText(records[*edited[i]].Factor, decimal_separator))
          .append(text.substr(cameras[i]->factor_end));
    } else {
      continue;  // a deleted camera
    }
    content.append(lines[i].end);
  }
  for (size_t i = 0; i < records.size(); ++i) {
    if (taken[i]) continue;
    if (!content.empty() && content.back() != '\n') content.append("\r\n");
    const CropRecord& record = records[i];
    content.append(FieldText(record.Make))
        .append("\t")
        .append(FieldText(record.Model))
        .append("\t")
        .append(CropFactorText(record.Factor, decimal_separator))
        .append("\r\n");
  }
  return content;
}

}  // namespace

CropFileResult SaveCropStore(CropStore& store, const std::filesystem::path& file, char decimal_separator) {
  CropFileResult result;
  result.file = file.string();
  if (!store.CropStoreChanged) return result;
  if (store.load_failed()) {
    result.reason = "not saved: the file could not be read in full when it was loaded, so it is kept as it is";
    return result;
  }
  const std::string content = ComposeCropFile(store.loaded_bytes_, store.records, decimal_separator);
  if (const std::optional<std::string> failure = ReplaceFile(file, content)) {
    result.reason = "cannot be written: " + *failure;
    return result;
  }
  result.written = true;
  store.CropStoreChanged = false;
  store.loaded_bytes_ = content;
  return result;
}

const CropRecord* FindCropFactor(const CropStore& store, std::string_view make, std::string_view model) {
  for (const CropRecord& record : store.records) {
    if (record.Model == model && record.Make == make && IsValidCropFactor(record.Factor)) return &record;
  }
  return nullptr;
}

int64_t StoredCropFactor(const CropStore& store, std::string_view make, std::string_view model) {
  const CropRecord* record = FindCropFactor(store, make, model);
  return record != nullptr ? record->Factor : 0;
}

int CameraSortRank(char32_t character) {
  if (character >= 'A' && character <= 'Z') character += 'a' - 'A';
  if (character >= 'a' && character <= 'z') return 6 + static_cast<int>(character - 'a');
  if (character >= '0' && character <= '9') return 32 + static_cast<int>(character - '0');
  switch (character) {
    case ' ':
      return 1;
    case '-':
      return 2;
    case '_':
      return 3;
    case ',':
      return 4;
    case '.':
      return 5;
    default:
      return CameraSortRank('q');
  }
}

std::string CameraKey(const CropRecord& record) { return record.Make + " " + record.Model; }

bool CameraKeyAfter(std::string_view a, std::string_view b) {
  const std::vector<int> a_ranks = KeyRanks(a);
  const std::vector<int> b_ranks = KeyRanks(b);
  return std::lexicographical_compare(b_ranks.begin(), b_ranks.end(), a_ranks.begin(), a_ranks.end());
}

void SortCameras(std::vector<CropRecord>& records) {
  // Comparing rank sequences lexicographically is the order of CameraKeyAfter; a stable sort keeps
  // cameras with equal keys in their order, as exchanging neighbours would.
  std::vector<std::vector<int>> ranks;
  ranks.reserve(records.size());
  for (const CropRecord& record : records) ranks.push_back(KeyRanks(CameraKey(record)));
  std::vector<size_t> order(records.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&ranks](size_t x, size_t y) {
    return std::lexicographical_compare(ranks[x].begin(), ranks[x].end(), ranks[y].begin(), ranks[y].end());
  });
  std::vector<CropRecord> sorted;
  sorted.reserve(records.size());
  for (const size_t index : order) sorted.push_back(std::move(records[index]));
  records = std::move(sorted);
}

}  // namespace lumetra
