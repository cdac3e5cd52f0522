#pragma once

#include <string>
#include <string_view>

#include "survey/PhotoTags.h"

namespace lumetra::fuzz {

/// A photo file's bytes (of the kind `extension` gives: ".jpg", ".tif") read as `lumetra-cli tags` reads
/// them, every entry listed and rendered.
[[nodiscard]] PhotoTags FullRead(std::string_view bytes, std::string_view extension);
/// The same bytes read as the survey reads them: only the names it asks for.
[[nodiscard]] PhotoTags SelectiveRead(std::string_view bytes, std::string_view extension);

/// The first difference between a full and a selective read of one photo: in the tags themselves, or in
/// the records and unknown-camera notes the survey makes of them, in both languages, for a camera the
/// crop store knows and one it does not. Empty when the two agree.
[[nodiscard]] std::string DifferenceBetweenReads(const PhotoTags& full, const PhotoTags& selective);

}  // namespace lumetra::fuzz
