#pragma once

#include <string>
#include <string_view>

namespace lumetra {

/// UTF-8 `text` in the Windows-1251 code page, one byte per character: ASCII as it is, Cyrillic and
/// the page's punctuation as their codes; a character the page lacks, and a byte that is not part of
/// well-formed UTF-8, becomes "?".
[[nodiscard]] std::string Utf8ToWindows1251(std::string_view text);

}  // namespace lumetra
