// Dates and times as the user's regional settings write them.
#pragma once
#include <string>

#include "platform/clock.h"

namespace plat {

// ANSI text of the user's short date format (GetDateFormatA with DATE_SHORTDATE on Windows).
// The POSIX build writes the format of a Chinese system: "2024/3/5".
std::string ShortDateText(const LocalTime& t);
// ANSI text of the user's long time format (GetTimeFormatA on Windows).
// The POSIX build writes the format of a Chinese system: "9:07:03".
std::string LongTimeText(const LocalTime& t);

}  // namespace plat
