// The local wall clock, replaceable in tests.
#pragma once
#include <cstdint>

namespace plat {

// Same fields, order and widths as the Windows SYSTEMTIME record.
struct LocalTime {
  uint16_t Year;
  uint16_t Month;      // 1..12
  uint16_t DayOfWeek;  // 0 = Sunday
  uint16_t Day;        // 1..31
  uint16_t Hour;
  uint16_t Minute;
  uint16_t Second;
  uint16_t Milliseconds;
};
static_assert(sizeof(LocalTime) == 16, "SYSTEMTIME layout");

LocalTime GetLocalTime();

// Tests install a fixed clock; pass nullptr to go back to the system clock.
using ClockSource = LocalTime (*)();
ClockSource SetClockSource(ClockSource source);

}  // namespace plat
