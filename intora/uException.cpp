#include "uException.h"

#include "LogText.h"
#include "platform/debugout.h"
#include "platform/module.h"

std::string GetAppPath() {
  return plat::ExtractFilePath(plat::ModuleFileNameA(nullptr));
}

void WriteLog(const std::string& Text) {
  try {
    AppendToFile(GetAppPath() + "MuPa.log", LogEntry(Text));
  } catch (...) {
    // The log must never disturb the caller.
  }
}

void LogException(const plat::Exception& E, const std::string& Module,
                  const std::string& UnitName, const std::string& Method,
                  const std::string& Position) {
  std::string line = ReportLine(E.Message(), Module, UnitName, Method, Position);
  plat::DebugOutput(line);
  WriteLog(line);
}
