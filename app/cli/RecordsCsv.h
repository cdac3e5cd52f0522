#pragma once

#include <array>
#include <string>
#include <string_view>

#include "survey/PhotoRecord.h"
#include "survey/PhotoStore.h"

namespace lumetra::cli {

/// The names of a record's fields in `survey --json` and in the header of `survey --csv`, in field order.
inline constexpr std::array<const char*, PhotoRecord::kFieldCount> kRecordFieldNames = {
    "path",  "exposure",    "fNumber", "focal", "focal35", "iso",  "program", "metering",
    "flash", "orientation", "model",   "lens",  "make",    "crop", "drive",   "focus"};

/// One CSV field: as it is, or between double quotes (doubled inside) when it holds a comma, a quote, a
/// carriage return or a line feed.
[[nodiscard]] std::string CsvField(std::string_view text);

/// The stored records as CSV for spreadsheets and databases: UTF-8, a header row of the field names and
/// "taken" (the capture time, `2019-03-14T18:22:05`, empty when undetermined), one row per record in the
/// order the photos were read, CR LF after every row.
[[nodiscard]] std::string RecordsCsv(const PhotoStore& photos);

}  // namespace lumetra::cli
