#include "app/cli/RecordsJson.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string_view>

#include "app/cli/JsonPath.h"
#include "app/cli/RecordsCsv.h"
#include "survey/CaptureTime.h"

namespace lumetra::cli {
namespace {

std::string Dump(const nlohmann::ordered_json& json) {
  return json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

// Printable ASCII other than the quote and the backslash stands in a JSON text as it is.
bool IsPlain(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F && c != '"' && c != '\\'; });
}

// A text as the JSON library writes it: a plain one between quotes, any other through the library itself,
// which escapes control characters and replaces bytes that are not UTF-8 as it does everywhere else.
void AppendText(std::string_view text, std::string& out) {
  if (IsPlain(text)) {
    out.append(1, '"').append(text).append(1, '"');
  } else {
    out.append(Dump(nlohmann::ordered_json(std::string(text))));
  }
}

}  // namespace

void AppendRecordJson(const PhotoStore& photos, size_t row, std::string& out) {
  const std::string path = photos.Path(row);
  out.append("{\"").append(kRecordFieldNames[kPath]).append("\":");
  if (IsPlain(path)) {
    AppendText(path, out);
  } else {
    // A path that is not UTF-8 is followed by its bytes: the paths' rule, written by its own code.
    nlohmann::ordered_json members;
    AddJsonPath(members, kRecordFieldNames[kPath], path);
    bool first = true;
    for (const auto& [name, value] : members.items()) {
      if (!first) out.append(",\"").append(name).append("\":");
      out.append(Dump(value));
      first = false;
    }
  }
  for (int field = kPath + 1; field < PhotoRecord::kFieldCount; ++field) {
    out.append(",\"").append(kRecordFieldNames[static_cast<size_t>(field)]).append("\":");
    AppendText(photos.Text(row, field), out);
  }
  out.append(",\"taken\":");
  const int64_t taken = photos.Taken(row);
  if (taken == kNoCaptureTime) {
    out.append("null");
  } else {
    AppendText(CaptureTimeText(taken), out);
  }
  out.append(1, '}');
}

}  // namespace lumetra::cli
