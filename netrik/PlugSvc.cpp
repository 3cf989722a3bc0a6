#include "PlugSvc.h"

#include <cstring>

#include "platform/ansi.h"
#include "platform/except.h"

namespace netrik {

namespace {

template <typename T>
T FindEntry(plat::ModuleHandle module, const char* name) {
  void* address = plat::GetProcAddr(module, name);
  if (!address) throw plat::Exception(plat::Format("can not get '%s' proc adress", name));
  return reinterpret_cast<T>(address);
}

}  // namespace

TPlug::TPlug(const std::u16string& fileName) {
  std::memset(plugInfo_, 0, sizeof plugInfo_);
  handle_ = plat::LoadModule(fileName);
  if (!handle_)
    throw plat::Exception("can not load library '" + plat::WideToAnsi(fileName) + "'");
  fileName_ = fileName;
  try {
    DllGetPlugInfo_ = FindEntry<TDllGetPlugInfo>(handle_, "DllGetPlugInfo");
    DllLoadPlug_ = FindEntry<TDllPlugEntry>(handle_, "DllLoadPlug");
    DllStartPlug_ = FindEntry<TDllPlugEntry>(handle_, "DllStartPlug");
    DllStopPlug_ = FindEntry<TDllPlugEntry>(handle_, "DllStopPlug");
    DllGetPlugStatus_ = FindEntry<void*>(handle_, "DllGetPlugStatus");
    if (DllGetPlugInfo_(plugInfo_) != 0) throw plat::Exception("call 'DllGetPlugInfo' proc error");
  } catch (...) {
    Release();
    throw;
  }
}

TPlug::~TPlug() { Release(); }

void TPlug::Release() {
  if (DllStopPlug_) StopPlug();
  if (handle_) {
    plat::UnloadModule(handle_);
    handle_ = nullptr;
  }
}

}  // namespace netrik
