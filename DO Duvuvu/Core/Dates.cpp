#include <cstdio>
#include <ctime>

#include "Clocks.h"
#include "Sys.h"

namespace {

// 1904-01-01 in seconds since 1970-01-01.
constexpr SInt64 kUnixToMacSeconds = 2082844800;
// 1904-01-01 in 100 ns units since 1601-01-01.
constexpr SInt64 kFileTimeToMac = 95616288000000000;

constexpr SInt16 kDaysPerMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

char gDateText[256];

// Division that rounds down, so negative fields borrow from the next field up.
int FloorDiv(int a, int b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
int FloorMod(int a, int b) { return a - FloorDiv(a, b) * b; }

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int MonthLength(int month, int year) {
  return month == 2 && IsLeapYear(year) ? 29 : kDaysPerMonth[month - 1];
}

// Two-digit years fall in the century of the UTC clock, with a window of
// eleven years either side of its turn.
int ExpandTwoDigitYear(int year) {
  time_t now = static_cast<time_t>(WallClockSeconds());
  tm utc{};
  gmtime_r(&now, &utc);
  int currentYear = utc.tm_year + 1900;
  int century = currentYear / 100 * 100;
  int withinCentury = currentYear % 100;
  if (withinCentury < 11 && year >= 90) century -= 100;
  else if (withinCentury > 89 && year < 11) century += 100;
  return century + year;
}

}  // namespace

UInt32 GetDateTimeSeconds(UInt32* out) {
  SInt64 seconds = WallClockSeconds() + LocalTimeOffsetSeconds() + kUnixToMacSeconds;
  UInt32 result = static_cast<UInt32>(seconds);
  if (out) *out = result;
  return result;
}

UInt32 FileTimeToMacSeconds(UInt64 fileTime) {
  return static_cast<UInt32>((static_cast<SInt64>(fileTime) - kFileTimeToMac) / 10000000);
}

SInt16 DaysInMonth(SInt16 month, SInt16 year) {
  if (month < 1 || month > 12) return 0;
  return static_cast<SInt16>(MonthLength(month, year));
}

UInt32 DateRecordToSeconds(const DateTimeRecord* record, UInt32* out) {
  int year = record->year;
  int month = record->month;
  int day = record->day;
  int hour = record->hour;
  int minute = record->minute;
  int second = record->second;

  if (year <= 99) year = ExpandTwoDigitYear(year);

  minute += FloorDiv(second, 60);
  second = FloorMod(second, 60);
  hour += FloorDiv(minute, 60);
  minute = FloorMod(minute, 60);
  day += FloorDiv(hour, 24);
  hour = FloorMod(hour, 24);
  year += FloorDiv(month - 1, 12);
  month = FloorMod(month - 1, 12) + 1;

  while (day > MonthLength(month, year)) {
    day -= MonthLength(month, year);
    if (++month > 12) {
      month = 1;
      ++year;
    }
  }
  while (day < 1) {
    if (--month < 1) {
      month = 12;
      --year;
    }
    day += MonthLength(month, year);
  }

  // The record is local time already, so no zone is applied.
  tm fields{};
  fields.tm_year = year - 1900;
  fields.tm_mon = month - 1;
  fields.tm_mday = day;
  fields.tm_hour = hour;
  fields.tm_min = minute;
  fields.tm_sec = second;
  SInt64 unixSeconds = static_cast<SInt64>(timegm(&fields));
  UInt32 result = static_cast<UInt32>(unixSeconds + kUnixToMacSeconds);
  if (out) *out = result;
  return result;
}

void SecondsToDateRecord(UInt32 seconds, DateTimeRecord* out) {
  time_t unixSeconds = static_cast<time_t>(static_cast<SInt64>(seconds) - kUnixToMacSeconds);
  tm fields{};
  gmtime_r(&unixSeconds, &fields);
  out->year = static_cast<SInt16>(fields.tm_year + 1900);
  out->month = static_cast<SInt16>(fields.tm_mon + 1);
  out->day = static_cast<SInt16>(fields.tm_mday);
  out->hour = static_cast<SInt16>(fields.tm_hour);
  out->minute = static_cast<SInt16>(fields.tm_min);
  out->second = static_cast<SInt16>(fields.tm_sec);
  out->dayOfWeek = static_cast<SInt16>(fields.tm_wday);
}

const char* DateTimeText() {
  static const char kDays[7][4] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char kMonths[12][4] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  time_t local = static_cast<time_t>(WallClockSeconds() + LocalTimeOffsetSeconds());
  tm t{};
  gmtime_r(&local, &t);
  // asctime's layout, without the line end it puts last.
  std::snprintf(gDateText, sizeof gDateText, "%.3s %.3s%3d %.2d:%.2d:%.2d %d", kDays[t.tm_wday],
                kMonths[t.tm_mon], t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, t.tm_year + 1900);
  return gDateText;
}
