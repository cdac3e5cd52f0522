#include "survey/SurveyTexts.h"

namespace lumetra {

std::string PhotoWord(int64_t n, Language UiLanguage) {
  if (UiLanguage != kRussian) return " photos";
  // Work on the magnitude without negating: -INT64_MIN does not exist.
  const int64_t last_two = n % 100 < 0 ? -(n % 100) : n % 100;
  const int64_t last = last_two % 10;
  // 11 to 14 take the genitive plural whatever their last digit: "11 фотографий", not "11 фотография".
  if (last_two >= 11 && last_two <= 14) return " фотографий";
  if (last == 1) return " фотография";
  if (last >= 2 && last <= 4) return " фотографии";
  return " фотографий";
}

std::string ProcessedText(int64_t n, Language UiLanguage) {
  const bool russian = UiLanguage == kRussian;
  return std::string(russian ? " Обработано " : " Processed ") + std::to_string(n) + PhotoWord(n, UiLanguage) +
         (russian ? " с EXIF" : " with EXIF");
}

std::string FilteredText(int64_t n, Language UiLanguage) {
  const bool russian = UiLanguage == kRussian;
  return std::string(russian ? " Отфильтровано " : " Filtered ") + std::to_string(n) + PhotoWord(n, UiLanguage);
}

}  // namespace lumetra
