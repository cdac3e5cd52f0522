// Fuzz target: an APP13 segment's data (length bytes, "Photoshop 3.0", resource blocks) parsed into IPTC
// datasets, then looked up and edited by name as the reader's callers do.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "metadata/ExifData.h"
#include "metadata/IptcData.h"
#include "metadata/ReaderError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using lumetra::TIPTCdata;
  lumetra::TimgData owner(lumetra::BuildAll);
  TIPTCdata iptc(owner);
  try {
    iptc.ParseIptc(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const lumetra::ReaderError&) {
    // A dataset header cut off by the end of the segment.
    if (!iptc.Tags.empty()) __builtin_trap();  // the list is promised empty then
    return 0;
  }
  // Every listed name must be found again, and the keyword edits must keep the list consistent.
  for (const lumetra::TTagEntry& entry : iptc.Tags) {
    if (iptc.IptcTagIndex(entry.Name) < 0) __builtin_trap();
  }
  static_cast<void>(iptc.AppendIptcTag("Keywords", "fuzz"));
  static_cast<void>(iptc.IptcTagText("Keywords", ""));
  iptc.RemoveIptcTag("Keywords");
  return 0;
}
