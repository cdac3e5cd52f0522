#include "crop/CropEditing.h"

#include <algorithm>
#include <charconv>

#include "numbers/FixedPoint.h"
#include "numbers/NumberText.h"

namespace lumetra {
namespace {

// General number format with `digits` significant digits, "." as separator, no exponent for the
// magnitudes of crop factors.
std::string GeneralText(double value, int digits) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
  std::string text(buffer, result.ptr);
  // Not reached for factors within (0, 100]; written out in full all the same.
  if (text.find('e') != std::string::npos) text = DecimalText(value);
  return text;
}

bool IsDigit(char character) { return character >= '0' && character <= '9'; }

// Digits with at most one `separator` (the empty text included).
bool IsTypedDecimal(std::string_view text, char separator) {
  bool separator_seen = false;
  for (const char character : text) {
    if (IsDigit(character)) continue;
    if (character != separator || separator_seen) return false;
    separator_seen = true;
  }
  return true;
}

}  // namespace

std::string CropCellText(int64_t factor, char decimal_separator) {
  std::string text = GeneralText(static_cast<double>(factor) / kFixedPointUnit, 3);
  std::replace(text.begin(), text.end(), '.', decimal_separator);
  return text;
}

std::string PhotoCropText(int64_t factor) { return GeneralText(static_cast<double>(factor) / kFixedPointUnit, 4); }

std::optional<char> FactorKeyCharacter(char32_t key, char decimal_separator) {
  if (key >= U'0' && key <= U'9') return static_cast<char>(key);
  if (key == U'.' || key == U',') return decimal_separator;
  return std::nullopt;
}

std::string TrimFactorTyping(std::string_view text, char decimal_separator) {
  std::string trimmed(text);
  // "0" in front: a text that starts with the separator is a number too.
  while (!trimmed.empty() && !IsTypedDecimal(trimmed, decimal_separator)) trimmed.pop_back();
  return trimmed;
}

std::optional<int64_t> CellCropFactor(std::string_view text, char decimal_separator) {
  if (text.empty()) return std::nullopt;
  const std::optional<int64_t> factor = ParseCropFactor(text, decimal_separator);
  if (!factor || !IsValidCropFactor(*factor)) return std::nullopt;
  return factor;
}

std::string FinishFactorEdit(std::string_view text, std::string_view remembered, char decimal_separator,
                             EmptyFactor empty) {
  if (text.empty()) return std::string(empty == EmptyFactor::kKept ? text : remembered);
  std::string finished(text);
  // "1." and ",5" are read as numbers: "0" after a trailing separator, before a leading one.
  if (finished.back() == '.' || finished.back() == ',') finished.push_back('0');
  std::string readable = finished;
  if (readable.front() == '.' || readable.front() == ',') readable.insert(readable.begin(), '0');
  if (!CellCropFactor(readable, decimal_separator)) return std::string(remembered);
  return finished;
}

std::vector<CropGridRow> CropGridRows(const std::vector<CropRecord>& records, char decimal_separator) {
  std::vector<CropGridRow> rows;
  rows.reserve(records.size());
  for (const CropRecord& record : records) {
    rows.push_back({.Make = record.Make,
                    .Model = record.Model,
                    .FactorText = CropCellText(record.Factor, decimal_separator),
                    .Factor = record.Factor});
  }
  return rows;
}

std::vector<CropRecord> CropRecordsFromGrid(const std::vector<CropGridRow>& rows, char decimal_separator) {
  std::vector<CropRecord> records;
  records.reserve(rows.size());
  for (const CropGridRow& row : rows) {
    std::string text = row.FactorText;
    if (!text.empty() && (text.front() == '.' || text.front() == ',')) text.insert(text.begin(), '0');
    const bool untouched = row.Factor != 0 && row.FactorText == CropCellText(row.Factor, decimal_separator);
    records.push_back({.Make = CutCropText(row.Make),
                       .Model = CutCropText(row.Model),
                       .Factor = untouched ? row.Factor : CellCropFactor(text, decimal_separator).value_or(0)});
  }
  return records;
}

size_t ApplyCropFactors(PhotoStore& photos, const std::vector<CropRecord>& records) {
  size_t changed = 0;
  for (size_t index = 0; index < photos.size(); ++index) {
    // A camera is known by its texts; the undetermined label is not a camera.
    if (photos.Label(index, kMake) != LabelId::kNone || photos.Label(index, kModel) != LabelId::kNone) continue;
    bool matched = false;
    for (const CropRecord& record : records) {
      if (!IsValidCropFactor(record.Factor)) continue;
      if (photos.Text(index, kModel) != record.Model || photos.Text(index, kMake) != record.Make) continue;
      matched = true;
      photos.SetText(index, kCrop, PhotoCropText(record.Factor));
      if (photos.Label(index, kFocal) == LabelId::NotDeterminedN) continue;
      const std::optional<int64_t> focal = ReadInteger64(photos.Text(index, kFocal));
      if (!focal) continue;
      if (const std::optional<int64_t> focal35 = MultiplyByFixedPoint(*focal, record.Factor)) {
        photos.SetText(index, kFocal35, std::to_string(*focal35));
      }
    }
    if (matched) ++changed;
  }
  return changed;
}

std::vector<CropRecord> SortUnknownCameras(std::vector<UnknownCamera>& cameras) {
  std::vector<CropRecord> records;
  records.reserve(cameras.size());
  for (const UnknownCamera& camera : cameras)
    records.push_back({CutCropText(camera.make), CutCropText(camera.model), 0});
  // Sorted with the full texts alongside, so the list keeps its own texts.
  std::vector<size_t> order(cameras.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&records](size_t a, size_t b) {
    return CameraKeyAfter(CameraKey(records[b]), CameraKey(records[a]));
  });
  std::vector<UnknownCamera> sorted_cameras;
  std::vector<CropRecord> sorted_records;
  for (const size_t i : order) {
    sorted_cameras.push_back(cameras[i]);
    sorted_records.push_back(records[i]);
  }
  cameras = std::move(sorted_cameras);
  return sorted_records;
}

void MergeUnknownCameras(CropStore& store, const std::vector<CropRecord>& cameras, PhotoStore& photos,
                         std::vector<UnknownCamera>& unknown) {
  store.records.insert(store.records.end(), cameras.begin(), cameras.end());
  store.CropStoreChanged = true;
  ApplyCropFactors(photos, cameras);
  unknown.clear();
}

}  // namespace lumetra

namespace lumetra {

CropDialogSizes SizeCropDialog(int rows, int button_height, int screen_height, int grid_top, int non_client_height) {
  CropDialogSizes sizes;
  const int screen_part = static_cast<int>(Round(0.9 * screen_height));
  sizes.first_height = std::min(screen_part, 26 * rows + button_height + 45 + 80);
  const int client_height = sizes.first_height - non_client_height;
  // Integer division truncating toward zero, as C++ divides.
  sizes.grid_height = ((client_height - button_height - 95) / 26) * 26 + 46;
  sizes.button_top = grid_top + sizes.grid_height + 20;
  sizes.height = sizes.button_top + button_height + 50;
  return sizes;
}

}  // namespace lumetra
