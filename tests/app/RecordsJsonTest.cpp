// survey --json's records written straight from the store: byte for byte what the JSON library prints for
// the same record, whatever the texts hold.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "app/cli/JsonPath.h"
#include "app/cli/RecordsCsv.h"
#include "app/cli/RecordsJson.h"
#include "survey/CaptureTime.h"
#include "survey/PhotoStore.h"

namespace lumetra::cli {
namespace {

// The record as a JSON object of the library, dumped as the survey's JSON dumps its other parts.
std::string LibraryDump(const PhotoRecord& record) {
  nlohmann::ordered_json object;
  AddJsonPath(object, kRecordFieldNames[kPath], record.path);
  for (int field = kPath + 1; field < PhotoRecord::kFieldCount; ++field) {
    object[kRecordFieldNames[static_cast<size_t>(field)]] = record.Field(field);
  }
  object["taken"] =
      record.taken == kNoCaptureTime ? nlohmann::ordered_json() : nlohmann::ordered_json(CaptureTimeText(record.taken));
  return object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

TEST(RecordsJson, EveryRecordIsWrittenAsTheJsonLibraryWritesIt) {
  const struct {
    const char* what;
    std::string path;
    std::string text;
    int64_t taken;
  } cases[] = {
      {"plain texts", "/photos/IMG_0001.JPG", "Canon EOS 5D", ParseCaptureTime("2019:03:14 18:22:05")},
      {"no capture time", "/photos/a.jpg", "1/125", kNoCaptureTime},
      {"a backslash alone", "/photos/a\\b.jpg", "C:\\DCIM\\100CANON", 5},
      {"a quote alone", "/photos/\"q\".jpg", "12\" lens", 6},
      {"quote and backslash", "/ph\"o\\tos/a\"b\\c.jpg", "say \"cheese\" \\ now", 0},
      {"control characters and DEL", "/photos/\x01\x1b\x7f.jpg", "line\r\nnext\ttab\b\f\x1f", 86400},
      {"UTF-8 beyond ASCII", "/фото/ümlaut €.jpg", "Объектив 50 mm \xF0\x9F\x93\xB7", 1},
      {"bytes that are not UTF-8", "/photos/bad\xff\xfe.jpg", "Latin-1 \xe9 and cut \xE2\x82", 2},
      {"a lone continuation and an overlong form", "/photos/\x80.jpg", "\xC0\xAF end \xED\xA0\x80", 3},
      {"empty texts", "/a.jpg", "", kNoCaptureTime},
  };
  for (const auto& c : cases) {
    PhotoRecord record;
    record.path = c.path;
    for (int field = kPath + 1; field < PhotoRecord::kFieldCount; ++field) {
      // Each field a different text, so that a field written under another's name shows.
      record.Field(field) = c.text + (field % 2 == 0 ? "" : std::to_string(field));
    }
    record.taken = c.taken;
    PhotoStore store;
    store.Append(record);
    std::string written = "kept";
    AppendRecordJson(store, 0, written);
    EXPECT_EQ(written, "kept" + LibraryDump(record)) << c.what;
  }
}

}  // namespace
}  // namespace lumetra::cli
