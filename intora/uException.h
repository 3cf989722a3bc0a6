// Reporting a caught exception: to the debugger output and to "MuPa.log" beside the program.
#pragma once
#include <string>

#include "platform/except.h"

// The folder of the program's executable, with its trailing backslash.
std::string GetAppPath();

// Appends "<date time>：<Text>" and a line break to "MuPa.log" in GetAppPath(). Never fails
// towards the caller: an entry that cannot be written is dropped.
void WriteLog(const std::string& Text);

// Writes the report line of E and the four names to the debugger output, then to the log.
void LogException(const plat::Exception& E, const std::string& Module,
                  const std::string& UnitName, const std::string& Method,
                  const std::string& Position);
