#include "uNetrik.h"

#include "Netrik.h"
#include "platform/ansi.h"
#include "platform/ansifile.h"
#include "platform/except.h"
#include "platform/module.h"
#include "uCommon.h"

namespace netrik {

TNetrik* NetrikInstance = nullptr;
std::recursive_mutex* NetrikLock = nullptr;

namespace {

int g_initCount = 0;

const char kModule[] = "Netrik.dll";
const char kUnit[] = "uNetrik";

void Report(const plat::Exception& e, const char* method) {
  LogException(e, kModule, kUnit, method, "");
}

// A text argument from the host: a null pointer is the empty text.
std::string Text(const char* p) { return p ? std::string(p) : std::string(); }

// The folder of the module that holds this code, with its trailing separator.
std::string OwnFolder() {
  plat::ModuleHandle self = plat::ModuleFromAddress(reinterpret_cast<const void*>(&OwnFolder));
  return plat::ExtractFilePath(plat::ModuleFileNameA(self));
}

}  // namespace

// The frame of the connection and life-cycle exports: the default result, the global lock
// held across the body, nothing done without an instance, and every exception of the
// general class reported under the export's name. The body may change the result as it goes;
// the result it holds when an exception arises is the one returned.
template <typename Body>
int32_t RunExport(const char* method, int32_t defaultResult, Body body) {
  int32_t result = defaultResult;
  try {
    std::lock_guard<std::recursive_mutex> guard(*NetrikLock);
    if (NetrikInstance) body(*NetrikInstance, result);
  } catch (const plat::Exception& e) {
    Report(e, method);
  }
  return result;
}

// --- TNetrik -----------------------------------------------------------------------------

TNetrik::~TNetrik() {
  // Only reached with everything released, or after a Destroy that raised: what is left
  // then stays unfreed, as the plug-ins' and clients' own code may be what failed.
}

void TNetrik::Destroy() { ClearPlugs(); }

TPlug* TNetrik::Plug(int index) const {
  if (index < 0 || index >= PlugCount()) plat::RaiseListIndexError(index);
  return plugs_[static_cast<size_t>(index)];
}

std::vector<std::string> SplitListLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t end = text.find('\0');
  if (end == std::string::npos) end = text.size();
  size_t p = 0;
  while (p < end) {
    size_t start = p;
    while (p < end && text[p] != '\r' && text[p] != '\n') ++p;
    lines.push_back(text.substr(start, p - start));
    if (p < end && text[p] == '\r') ++p;
    if (p < end && text[p] == '\n') ++p;
  }
  return lines;
}

bool TNetrik::LoadPlugs(const std::string& plugListFile) {
  bool result = true;
  try {
    std::string folder = OwnFolder();
    if (!plat::AnsiFileExists(plugListFile)) return true;
    std::string bytes;
    if (!plat::ReadAnsiFile(plugListFile, bytes))
      throw plat::Exception("Cannot open file \"" + plugListFile + "\"");
    std::vector<std::string> lines = SplitListLines(bytes);
    ClearPlugs();
    for (const std::string& line : lines) {
      std::string path = folder + line;
      if (!plat::AnsiFileExists(path)) {
        result = false;
        break;
      }
      TPlug* plug = new TPlug(plat::AnsiToWide(path));
      try {
        plug->LoadPlug();
      } catch (...) {
        delete plug;
        throw;
      }
      plugs_.push_back(plug);
    }
  } catch (const plat::Exception& e) {
    result = false;
    Report(e, "LoadPlugs");
  }
  return result;
}

void TNetrik::StartPlugs() {
  int count = PlugCount();
  for (int i = 0; i < count; ++i) Plug(i)->StartPlug();
}

void TNetrik::StopPlugs() {
  int count = PlugCount();
  for (int i = 0; i < count; ++i) Plug(i)->StopPlug();
}

void TNetrik::ClearPlugs() {
  // Each plug-in leaves the list before it is stopped and freed, last first.
  while (!plugs_.empty()) {
    TPlug* plug = plugs_.back();
    plugs_.pop_back();
    delete plug;
  }
}

// --- Library load and unload -------------------------------------------------------------

void NetrikInitialize() {
  if (g_initCount++ != 0) return;
  NetrikInstance = nullptr;
  NetrikLock = new std::recursive_mutex();
}

void NetrikFinalize() {
  if (g_initCount == 0 || --g_initCount != 0) return;
  UnInitNetrik();
  delete NetrikLock;
  NetrikLock = nullptr;
}

}  // namespace netrik

using netrik::RunExport;
using netrik::TNetrik;

extern "C" {

int32_t NETRIK_CALL InitNetrik(const char* PlugListFile) {
  int32_t result = 0;
  try {
    {
      std::lock_guard<std::recursive_mutex> guard(*netrik::NetrikLock);
      if (!netrik::NetrikInstance) netrik::NetrikInstance = new TNetrik();
      netrik::NetrikInstance->LoadPlugs(netrik::Text(PlugListFile));
    }
    result = -1;
  } catch (const plat::Exception& e) {
    netrik::Report(e, "InitNetrik");
  }
  return result;
}

void NETRIK_CALL StartNetrik(void) {
  RunExport("StartNetrik", 0, [](TNetrik& n, int32_t&) { n.StartPlugs(); });
}

void NETRIK_CALL StopNetrik(void) {
  RunExport("StopNetrik", 0, [](TNetrik& n, int32_t&) { n.StopPlugs(); });
}

void NETRIK_CALL UnInitNetrik(void) {
  RunExport("UnInitNetrik", 0, [](TNetrik& n, int32_t&) {
    netrik::NetrikInstance = nullptr;
    n.Destroy();
    delete &n;
  });
}

}  // extern "C"
