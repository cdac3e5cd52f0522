#include "survey/CaptureTime.h"

#include <cstdio>

namespace lumetra {
namespace {

constexpr int64_t kSecondsPerDay = 86400;

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsRealDate(int year, int month, int day) {
  return year >= kFirstCaptureYear && year <= kLastCaptureYear && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

// Days from 1900-01-01 to a date of the proleptic Gregorian calendar (the civil-days count over eras of
// 400 years, shifted so that 1900-01-01 is day 0).
int64_t DaysSince1900(int year, int month, int day) {
  const int64_t y = year - (month <= 2 ? 1 : 0);
  const int64_t era = y / 400;
  const int64_t year_of_era = y - era * 400;
  const int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  constexpr int64_t kDaysFrom0000To1900 = 693901;  // 0000-03-01 to 1900-01-01
  return era * 146097 + day_of_era - kDaysFrom0000To1900;
}

// Reads exactly `digits` decimal digits at `pos`, moving past them.
std::optional<int> ReadDigits(std::string_view text, size_t& pos, size_t digits) {
  if (pos > text.size() || digits > text.size() - pos) return std::nullopt;
  int value = 0;
  for (size_t i = 0; i < digits; ++i) {
    const char c = text[pos + i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  pos += digits;
  return value;
}

bool Take(std::string_view text, size_t& pos, char expected) {
  if (pos >= text.size() || text[pos] != expected) return false;
  ++pos;
  return true;
}

// A fraction of a second: "." and at least one digit.
bool SkipFraction(std::string_view text, size_t& pos) {
  if (!Take(text, pos, '.')) return true;
  const size_t first = pos;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') ++pos;
  return pos > first;
}

// A time-zone suffix: "Z", or a sign, two hour digits and two minute digits with or without ":".
bool SkipZone(std::string_view text, size_t& pos) {
  if (Take(text, pos, 'Z')) return true;
  if (!Take(text, pos, '+') && !Take(text, pos, '-')) return true;
  const std::optional<int> hours = ReadDigits(text, pos, 2);
  Take(text, pos, ':');
  const std::optional<int> minutes = ReadDigits(text, pos, 2);
  return hours && minutes && *hours <= 23 && *minutes <= 59;
}

}  // namespace

int64_t ParseCaptureTime(std::string_view text) {
  // Padding the writer left: NUL bytes and blanks.
  while (!text.empty() && (text.back() == '\0' || text.back() == ' ')) text.remove_suffix(1);
  size_t pos = 0;
  const std::optional<int> year = ReadDigits(text, pos, 4);
  if (pos >= text.size() || (text[pos] != ':' && text[pos] != '-')) return kNoCaptureTime;
  const char date_separator = text[pos++];
  const std::optional<int> month = ReadDigits(text, pos, 2);
  if (!Take(text, pos, date_separator)) return kNoCaptureTime;
  const std::optional<int> day = ReadDigits(text, pos, 2);
  if (!Take(text, pos, ' ') && !Take(text, pos, 'T')) return kNoCaptureTime;
  const std::optional<int> hour = ReadDigits(text, pos, 2);
  if (!Take(text, pos, ':')) return kNoCaptureTime;
  const std::optional<int> minute = ReadDigits(text, pos, 2);
  if (!Take(text, pos, ':')) return kNoCaptureTime;
  const std::optional<int> second = ReadDigits(text, pos, 2);
  if (!SkipFraction(text, pos) || !SkipZone(text, pos) || pos != text.size()) return kNoCaptureTime;
  if (!year || !month || !day || !hour || !minute || !second) return kNoCaptureTime;
  if (!IsRealDate(*year, *month, *day) || *hour > 23 || *minute > 59 || *second > 59) return kNoCaptureTime;
  return DaysSince1900(*year, *month, *day) * kSecondsPerDay + *hour * 3600 + *minute * 60 + *second;
}

CaptureMoment MomentOf(int64_t taken) {
  CaptureMoment moment;
  const int64_t days = CaptureDay(taken);
  // From days to a date, the civil-days count read backwards.
  const int64_t z = days + 693901;
  const int64_t era = z / 146097;
  const int64_t day_of_era = z - era * 146097;
  const int64_t year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const int64_t shifted_month = (5 * day_of_year + 2) / 153;
  moment.day = static_cast<int>(day_of_year - (153 * shifted_month + 2) / 5 + 1);
  moment.month = static_cast<int>(shifted_month < 10 ? shifted_month + 3 : shifted_month - 9);
  moment.year = static_cast<int>(year_of_era + era * 400 + (moment.month <= 2 ? 1 : 0));
  const int64_t seconds = taken % kSecondsPerDay;
  moment.hour = static_cast<int>(seconds / 3600);
  moment.minute = static_cast<int>(seconds % 3600 / 60);
  moment.second = static_cast<int>(seconds % 60);
  return moment;
}

std::string CaptureTimeText(int64_t taken) {
  if (taken == kNoCaptureTime) return {};
  const CaptureMoment m = MomentOf(taken);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", m.year, m.month, m.day, m.hour, m.minute, m.second);
  return text;
}

std::string CaptureDateText(int64_t taken) {
  if (taken == kNoCaptureTime) return {};
  const CaptureMoment m = MomentOf(taken);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", m.year, m.month, m.day);
  return text;
}

int64_t CaptureMonth(int64_t taken) {
  const CaptureMoment m = MomentOf(taken);
  return int64_t{m.year - kFirstCaptureYear} * 12 + (m.month - 1);
}

std::string MonthText(int64_t month) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d", static_cast<int>(kFirstCaptureYear + month / 12),
                static_cast<int>(month % 12 + 1));
  return text;
}

std::string MonthFirstDayText(int64_t month) { return MonthText(month) + "-01"; }

std::string MonthLastDayText(int64_t month) {
  const int year = static_cast<int>(kFirstCaptureYear + month / 12);
  return MonthText(month) + "-" + std::to_string(DaysInMonth(year, static_cast<int>(month % 12 + 1)));
}

std::optional<int64_t> ReadDateBound(std::string_view text) {
  size_t pos = 0;
  const std::optional<int> year = ReadDigits(text, pos, 4);
  if (!Take(text, pos, '-')) return std::nullopt;
  const std::optional<int> month = ReadDigits(text, pos, 2);
  if (!Take(text, pos, '-')) return std::nullopt;
  const std::optional<int> day = ReadDigits(text, pos, 2);
  if (!year || !month || !day || pos != text.size() || !IsRealDate(*year, *month, *day)) return std::nullopt;
  return DaysSince1900(*year, *month, *day);
}

std::optional<int> ReadHourBound(std::string_view text) {
  if (text.empty() || text.size() > 2) return std::nullopt;
  size_t pos = 0;
  const std::optional<int> hour = ReadDigits(text, pos, text.size());
  if (!hour || *hour > 23) return std::nullopt;
  return hour;
}

}  // namespace lumetra
