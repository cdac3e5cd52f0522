// Fuzz target: crop-file content read under both decimal separators; every camera read must survive the
// way back (its factor written and read again, its texts sorted and looked up).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "crop/CropStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const char separator : {'.', ','}) {
    lumetra::CropStore store;
    std::vector<size_t> skipped_lines;
    lumetra::ReadCropLines(bytes, separator, store.records, skipped_lines);
    for (const lumetra::CropRecord& record : store.records) {
      if (!lumetra::IsValidCropFactor(record.Factor)) __builtin_trap();
      // A loaded factor is saved and loaded again unchanged.
      if (lumetra::ParseCropFactor(lumetra::CropFactorText(record.Factor, separator), separator) != record.Factor) {
        __builtin_trap();
      }
      if (lumetra::FindCropFactor(store, record.Make, record.Model) == nullptr) __builtin_trap();
    }
    lumetra::SortCameras(store.records);
  }
  return 0;
}
