// Shared helpers of Netrik: the exception report line and the fixed-size text copy.
#pragma once
#include <cstdint>
#include <string>

#include "platform/except.h"

namespace netrik {

// Writes "异常:<message> 模块:<module> 单元:<unit> 方法:<method> 位置:<position>" (code page
// 936, no line break) to the debugger output.
void LogException(const plat::Exception& e, const char* module, const char* unitName,
                  const char* method, const char* position);

// Reports the exception being handled (call only from inside a catch block) through
// LogException with the module "Netrik.dll", the unit, the method and an empty position.
// The general class is reported as it is; any other C++ exception is reported with its
// text ("Unknown exception" when it has none), since nothing may unwind across an export
// into the host. A thread cancellation's unwinding is passed on, never reported.
void ReportCurrentException(const char* unitName, const char* method);

// Zeroes the first `size` bytes of `buf`, then copies at most `size` bytes of `s` into it.
void StrToBuf(const std::string& s, void* buf, int32_t size);

}  // namespace netrik
