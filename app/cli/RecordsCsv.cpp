#include "app/cli/RecordsCsv.h"

#include "survey/CaptureTime.h"

namespace lumetra::cli {

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string field = "\"";
  for (const char c : text) {
    if (c == '"') field += '"';
    field += c;
  }
  field += '"';
  return field;
}

std::string RecordsCsv(const PhotoStore& photos) {
  std::string csv;
  for (size_t field = 0; field < kRecordFieldNames.size(); ++field) {
    csv += (field == 0 ? "" : ",") + CsvField(kRecordFieldNames[field]);
  }
  csv += ",taken\r\n";
  for (size_t row = 0; row < photos.size(); ++row) {
    const PhotoRecord record = photos.Row(row);
    for (int field = 0; field < PhotoRecord::kFieldCount; ++field) {
      if (field != 0) csv += ',';
      csv += CsvField(record.Field(field));
    }
    // The capture time as `survey --json` writes it; empty when undetermined.
    csv += ',';
    if (record.taken != kNoCaptureTime) csv += CaptureTimeText(record.taken);
    csv += "\r\n";
  }
  return csv;
}

}  // namespace lumetra::cli
