#pragma once

#include <string_view>

namespace lumetra::fuzz {

/// Reads `bytes` as the survey and `lumetra-cli tags --iptc` read a photo file of the kind `extension`
/// gives (".jpg", ".tif"): every directory, maker note and rendered value, the IPTC datasets of the first
/// APP13 segment and the survey's record with its unknown-camera note. Aborts when the survey's selective
/// read of the same bytes gives other tags or records than the full read, and when a failure other than
/// the reader's own `ReaderError` reaches the per-file entry point, which turns such a failure into
/// "Illegal Exif construction" and so would hide a fault from the fuzzer.
void ReadAsSurvey(std::string_view bytes, std::string_view extension);

}  // namespace lumetra::fuzz
