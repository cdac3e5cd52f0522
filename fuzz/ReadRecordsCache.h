#pragma once

#include <string>
#include <string_view>

namespace lumetra::fuzz {

/// Damages a records database and reads it: the reference database (rows of made-up photos, one with a text
/// long enough to fill overflow pages, written by RecordsCache) is cut and its bytes changed as `mutation`
/// says — two bytes, little-endian, the length to cut the file to (modulo its size plus one; 0xFFFF keeps
/// it whole), then triples of a two-byte offset (modulo the size) and a byte XORed in there. The damaged
/// file is opened as a records cache, every reference row is looked up, one row is written and gone rows
/// are dropped. Returns a description of the first wrong record served (a row that is found must be exactly
/// the one written), empty when there is none; `served` (when given) is set to the rows found. Works in a
/// folder of its own under the temporary folder.
[[nodiscard]] std::string CheckMutatedDatabase(std::string_view mutation, size_t* served = nullptr);

}  // namespace lumetra::fuzz
