#pragma once

#include <string>
#include <string_view>

namespace lumetra {

/// `bytes` as UTF-8 text: unchanged when they are valid UTF-8, otherwise each byte read as Latin-1.
/// Photo tags carry bytes in whatever code page the camera used; this is where they become text.
[[nodiscard]] std::string TextAsUtf8(std::string_view bytes);

/// True when `bytes` are well-formed UTF-8 (no overlong forms, surrogates or code points past U+10FFFF).
[[nodiscard]] bool IsValidUtf8(std::string_view bytes);

}  // namespace lumetra
