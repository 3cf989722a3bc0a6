// Lookups per second through Skinelle's exports. The Windows build loads Skinelle.dll and
// calls it through the addresses GetProcAddress gives, as a host does; the native build calls
// the same export bodies linked in.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Skinelle.h"
#include "testsupport/BinTreeWriter.h"
#include "testsupport/TempFolder.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include "uResourceManage.h"
#include "uSkinManage.h"
#endif

namespace ts = testsupport;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Api {
  decltype(&LoadSkinFile) Load = nullptr;
  decltype(&GetSkinInt32ByName) Int32 = nullptr;
  decltype(&GetSkinStringByName) String = nullptr;
  decltype(&GetSkinBitmapByName) Bitmap = nullptr;
};

bool Bind(Api& api) {
#if defined(_WIN32)
  HMODULE lib = LoadLibraryW(L"Skinelle.dll");
  if (!lib) return false;
  auto get = [&](const char* name) { return reinterpret_cast<void*>(GetProcAddress(lib, name)); };
  api.Load = reinterpret_cast<decltype(api.Load)>(get("LoadSkinFile"));
  api.Int32 = reinterpret_cast<decltype(api.Int32)>(get("GetSkinInt32ByName"));
  api.String = reinterpret_cast<decltype(api.String)>(get("GetSkinStringByName"));
  api.Bitmap = reinterpret_cast<decltype(api.Bitmap)>(get("GetSkinBitmapByName"));
#else
  skinelle::InitializeSkinManage();
  skinelle::InitializeResourceManage();
  api.Load = &LoadSkinFile;
  api.Int32 = &GetSkinInt32ByName;
  api.String = &GetSkinStringByName;
  api.Bitmap = &GetSkinBitmapByName;
#endif
  return api.Load && api.Int32 && api.String && api.Bitmap;
}

std::u16string Name(const char* prefix, int i) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%s%02d", prefix, i);
  return std::u16string(buf, buf + std::char_traits<char>::length(buf));
}

// 32 groups of 32 numbers, 32 texts and 32 images of 1 KiB: 3,105 nodes.
ts::TreeNodeSpec Skin() {
  std::vector<ts::TreeNodeSpec> groups;
  for (int g = 0; g < 32; ++g) {
    std::vector<ts::TreeNodeSpec> items;
    for (int i = 0; i < 32; ++i) {
      items.push_back(ts::Int32(Name("Value", i), g * 100 + i));
      items.push_back(ts::AnsiString(Name("Text", i), "Caption text of an item"));
      items.push_back(ts::Binary(Name("Image", i), std::vector<uint8_t>(1024, static_cast<uint8_t>(i))));
    }
    groups.push_back(ts::Dir(Name("Group", g), std::move(items)));
  }
  return ts::Dir(u"ROOT", std::move(groups));
}

const SkinelleChar* P(const std::u16string& s) {
  return reinterpret_cast<const SkinelleChar*>(s.c_str());
}

template <class Fn>
void Measure(const char* what, Fn lookup) {
  long long calls = 0;
  int failures = 0;
  Clock::time_point start = Clock::now(), end;
  do {
    for (int i = 0; i < 1000; ++i) failures += lookup() == 0;
    calls += 1000;
    end = Clock::now();
  } while (end - start < std::chrono::milliseconds(400));
  double secs = std::chrono::duration<double>(end - start).count();
  std::printf("  %-44s %12.0f lookups/s%s\n", what, calls / secs, failures ? "  (FAILED)" : "");
}

}  // namespace

int main() {
  Api api;
  if (!Bind(api)) {
    std::printf("cannot reach Skinelle's exports\n");
    return 1;
  }
  testsupport::TempFolder folder("bench-skinelle");
  fs::path file = folder.path() / "bench_skinelle.skn";
  {
    std::vector<uint8_t> image = ts::WriteTree(Skin());
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(image.data()),
                                                static_cast<std::streamsize>(image.size()));
    std::printf("skin file: %zu bytes, 3105 nodes\n", image.size());
  }
  std::u16string name = file.u16string();
  Clock::time_point t0 = Clock::now();
  const int loads = 20;
  for (int i = 0; i < loads; ++i)
    if (api.Load(P(name)) != -1) {
      std::printf("LoadSkinFile failed\n");
      return 1;
    }
  std::printf("  %-44s %12.2f ms\n", "LoadSkinFile",
              std::chrono::duration<double, std::milli>(Clock::now() - t0).count() / loads);

  std::u16string first = u"Group00\\Value00", last = u"Group31\\Value31";
  std::u16string text = u"Group15\\Text15", image = u"Group15\\Image15", miss = u"Group31\\None";
  std::u16string padded = u"  \\Group00\\Value00\\  ";
  int32_t n = 0;
  char buf[64];
  void* data = nullptr;
  int32_t size = 0;
  Measure("GetSkinInt32ByName, first node", [&] { return api.Int32(P(first), &n); });
  Measure("GetSkinInt32ByName, blanks and backslashes", [&] { return api.Int32(P(padded), &n); });
  Measure("GetSkinStringByName, middle (23 bytes)", [&] { return api.String(P(text), buf, sizeof buf); });
  Measure("GetSkinBitmapByName, middle", [&] { return api.Bitmap(P(image), &data, &size); });
  Measure("GetSkinInt32ByName, last of 3105 nodes", [&] { return api.Int32(P(last), &n); });
  Measure("GetSkinInt32ByName, missing in the last group", [&] { return api.Int32(P(miss), &n) == 0; });
  fs::remove(file);
  return 0;
}
