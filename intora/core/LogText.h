// The exception report line and the entries of the program's log file.
#pragma once
#include <string>

#include "platform/clock.h"

// "异常:<message> 模块:<module> 单元:<unit> 方法:<method> 位置:<position>", no line break.
std::string ReportLine(const std::string& message, const std::string& module,
                       const std::string& unitName, const std::string& method,
                       const std::string& position);

// The user's short date, a blank and the long time; the date alone at exactly midnight.
std::string LogDateTimeText(const plat::LocalTime& t);

// One entry of the log file for the current local time: date-time text, "：", the text and a
// carriage return and line feed.
std::string LogEntry(const std::string& text);

// Appends bytes to the file at an ANSI path, creating it when it does not exist. An existing
// file is never cut. Returns false when the file cannot be opened, written or closed.
bool AppendToFile(const std::string& path, const std::string& bytes);
