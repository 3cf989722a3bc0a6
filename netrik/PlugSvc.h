// One loaded plug-in library and its five entry points.
#pragma once
#include <cstdint>
#include <string>

#include "platform/callconv.h"
#include "platform/module.h"

namespace netrik {

using TDllGetPlugInfo = int32_t(PLAT_STDCALL*)(void* plugInfo);
using TDllPlugEntry = int32_t(PLAT_STDCALL*)();

constexpr int kPlugInfoSize = 916;

class TPlug {
public:
  // Loads the library, finds its entry points and asks it for its information block.
  // Raises "can not load library '<name>'", "can not get '<entry>' proc adress" or
  // "call 'DllGetPlugInfo' proc error"; what was obtained is released again first.
  explicit TPlug(const std::u16string& fileName);
  // Stops the plug-in and frees its library.
  ~TPlug();
  TPlug(const TPlug&) = delete;
  TPlug& operator=(const TPlug&) = delete;

  void LoadPlug() { DllLoadPlug_(); }
  void StartPlug() { DllStartPlug_(); }
  void StopPlug() { DllStopPlug_(); }

  plat::ModuleHandle Handle() const { return handle_; }
  const std::u16string& FileName() const { return fileName_; }

private:
  void Release();

  plat::ModuleHandle handle_ = nullptr;
  std::u16string fileName_;
  unsigned char plugInfo_[kPlugInfoSize];
  TDllGetPlugInfo DllGetPlugInfo_ = nullptr;
  TDllPlugEntry DllLoadPlug_ = nullptr;
  TDllPlugEntry DllStartPlug_ = nullptr;
  TDllPlugEntry DllStopPlug_ = nullptr;
  void* DllGetPlugStatus_ = nullptr;
};

}  // namespace netrik
