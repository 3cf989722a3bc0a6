#include "uCommon.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstring>
#include <exception>

#include "platform/debugout.h"

namespace netrik {

void LogException(const plat::Exception& e, const char* module, const char* unitName,
                  const char* method, const char* position) {
  std::string line = plat::Format("异常:%s 模块:%s 单元:%s 方法:%s 位置:%s", e.Message().c_str(),
                                  module, unitName, method, position);
  plat::DebugOutput(line);
}

void ReportCurrentException(const char* unitName, const char* method) {
  static const char kModule[] = "Netrik.dll";
  try {
    throw;
  } catch (abi::__forced_unwind&) {
    throw;
  } catch (const plat::Exception& e) {
    LogException(e, kModule, unitName, method, "");
  } catch (const std::exception& e) {
    LogException(plat::Exception(e.what()), kModule, unitName, method, "");
  } catch (...) {
    LogException(plat::Exception("Unknown exception"), kModule, unitName, method, "");
  }
}

void StrToBuf(const std::string& s, void* buf, int32_t size) {
  if (size <= 0) return;
  std::memset(buf, 0, static_cast<size_t>(size));
  std::memcpy(buf, s.data(), std::min(s.size(), static_cast<size_t>(size)));
}

}  // namespace netrik
