#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumetra {

/// When a photo was taken, as the camera's clock showed it (no time zone is applied): seconds since
/// 1900-01-01 00:00:00 of that clock. kNoCaptureTime when the photo tells no real moment.
inline constexpr int64_t kNoCaptureTime = -1;

/// The years a capture time may fall in; a clock outside them was never set.
inline constexpr int kFirstCaptureYear = 1900;
inline constexpr int kLastCaptureYear = 2100;

/// An Exif date text ("2019:03:14 18:22:05") as a capture time. Also taken: "-" between the date's parts,
/// "T" before the time, a fraction of a second (".25", dropped), a time-zone suffix ("Z", "+02:00",
/// "-0530"; kept out of the arithmetic) and trailing NUL or blank padding. Anything else, or a moment that
/// does not exist (month 13, 31 April, 29 February of a common year, hour 24, second 60, a year outside
/// 1900..2100, all zeros, blanks), gives kNoCaptureTime.
[[nodiscard]] int64_t ParseCaptureTime(std::string_view text);

/// The parts of a capture time.
struct CaptureMoment {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};
/// The parts of `taken`, which must not be kNoCaptureTime.
[[nodiscard]] CaptureMoment MomentOf(int64_t taken);

/// "2019-03-14T18:22:05"; empty for kNoCaptureTime.
[[nodiscard]] std::string CaptureTimeText(int64_t taken);
/// "2019-03-14"; empty for kNoCaptureTime.
[[nodiscard]] std::string CaptureDateText(int64_t taken);

/// The calendar day of `taken`: days since 1900-01-01.
[[nodiscard]] inline int64_t CaptureDay(int64_t taken) { return taken / 86400; }
/// The hour of `taken`, 0..23.
[[nodiscard]] inline int CaptureHour(int64_t taken) { return static_cast<int>(taken % 86400 / 3600); }
/// The weekday of `taken`: 0 Monday .. 6 Sunday (1900-01-01 was a Monday).
[[nodiscard]] inline int CaptureWeekday(int64_t taken) { return static_cast<int>(CaptureDay(taken) % 7); }
/// The calendar month of `taken` as a number that counts months on: (year - 1900) * 12 + month - 1.
[[nodiscard]] int64_t CaptureMonth(int64_t taken);
/// A month number of CaptureMonth as "2019-03".
[[nodiscard]] std::string MonthText(int64_t month);
/// The first and the last day of a month number of CaptureMonth as date bounds: "2019-03-01", "2019-03-31".
[[nodiscard]] std::string MonthFirstDayText(int64_t month);
[[nodiscard]] std::string MonthLastDayText(int64_t month);

/// A date bound of the filter, "YYYY-MM-DD" exactly, as days since 1900-01-01; nullopt for any other text or
/// a day that does not exist or lies outside the capture years.
[[nodiscard]] std::optional<int64_t> ReadDateBound(std::string_view text);
/// An hour bound of the filter, one or two digits 0..23; nullopt otherwise.
[[nodiscard]] std::optional<int> ReadHourBound(std::string_view text);

}  // namespace lumetra
