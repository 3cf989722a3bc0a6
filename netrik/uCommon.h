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

// Zeroes the first `size` bytes of `buf`, then copies at most `size` bytes of `s` into it.
void StrToBuf(const std::string& s, void* buf, int32_t size);

}  // namespace netrik
