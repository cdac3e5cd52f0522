#pragma once

#include <cstdint>
#include <string>

#include "survey/Labels.h"

namespace lumetra {

/// The word after a count of photos, with its leading space, in `UiLanguage`. Russian agrees with n: " фотография"
/// after 1, 21, 101 ...; " фотографии" after 2-4, 22-24
/// ...; " фотографий" after 0, 5-20, 25-30, 111-114 ... . English is " photos" for every n, 1 included.
/// A negative n takes the word of its magnitude.
[[nodiscard]] std::string PhotoWord(int64_t n, Language UiLanguage);

/// Status panel 0: " Обработано 5 фотографий с EXIF" / " Processed 5 photos with EXIF".
[[nodiscard]] std::string ProcessedText(int64_t n, Language UiLanguage);

/// Status panel 1: " Отфильтровано 5 фотографий" / " Filtered 5 photos".
[[nodiscard]] std::string FilteredText(int64_t n, Language UiLanguage);

}  // namespace lumetra
