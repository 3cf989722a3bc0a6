#include "LogText.h"

#include <cstdio>

#include "platform/datetext.h"

std::string ReportLine(const std::string& message, const std::string& module,
                       const std::string& unitName, const std::string& method,
                       const std::string& position) {
  return "异常:" + message + " 模块:" + module + " 单元:" + unitName + " 方法:" + method +
         " 位置:" + position;
}

std::string LogDateTimeText(const plat::LocalTime& t) {
  std::string text = plat::ShortDateText(t);
  if (t.Hour != 0 || t.Minute != 0 || t.Second != 0) text += " " + plat::LongTimeText(t);
  return text;
}

std::string LogEntry(const std::string& text) {
  return LogDateTimeText(plat::GetLocalTime()) + "：" + text + "\r\n";
}

bool AppendToFile(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "ab");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0) ok = false;
  return ok;
}
