// A small host of Skinelle.dll, linked against its import library: writes a sample skin and
// resource file, registers a window as listener, loads both files, prints typed lookups and
// the listener messages that the window receives.
// Usage: skinelle_demo_host [folder for the sample files]
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Skinelle.h"
#include "testsupport/BinTreeWriter.h"

namespace ts = testsupport;

namespace {

const UINT kSkinMsg = WM_APP + 1;
const UINT kTransparencyMsg = WM_APP + 2;

std::string Utf8(const std::wstring& w) {
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &out[0], n, nullptr,
                      nullptr);
  return out;
}

std::string AnsiToUtf8(const std::string& a) {
  int n = MultiByteToWideChar(CP_ACP, 0, a.data(), static_cast<int>(a.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, a.data(), static_cast<int>(a.size()), &w[0], n);
  return Utf8(w);
}

LRESULT CALLBACK ListenerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kSkinMsg || msg == kTransparencyMsg) {
    std::printf("  window received %s (WM_APP+%u): wParam %lu, lParam %ld\n",
                msg == kSkinMsg ? "skin message" : "transparency message", msg - WM_APP,
                static_cast<unsigned long>(wp), static_cast<long>(lp));
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

bool WriteFile(const std::wstring& path, const std::vector<uint8_t>& image) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = ::WriteFile(h, image.data(), static_cast<DWORD>(image.size()), &written, nullptr);
  CloseHandle(h);
  return ok && written == image.size();
}

const char* Bool(SkinelleBool b) { return b ? "-1 (true)" : "0 (false)"; }

}  // namespace

int main(int argc, char** argv) {
  std::wstring folder = L".\\";
  if (argc > 1) {
    std::string a = argv[1];
    folder = std::wstring(a.begin(), a.end()) + L"\\";
  }
  std::wstring skin = folder + L"示例皮肤.skn";
  std::wstring res = folder + L"resources.dat";
  std::vector<uint8_t> bitmap = {'B', 'M', 0x46, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0};
  bitmap.resize(70, 0x80);
  ts::TreeNodeSpec skinTree = ts::Dir(u"ROOT", {
      ts::Dir(u"MainForm", {ts::WideString(u"Caption", u"示例皮肤"), ts::Int32(u"Width", 640),
                            ts::Int32(u"Height", 480), ts::Real64(u"Alpha", 0.85),
                            ts::Bool32(u"Transparent", -1), ts::Binary(u"Background", bitmap)}),
      ts::Dir(u"Font", {ts::AnsiString(u"Name", "宋体"), ts::UInt32(u"Color", 0x00336699)}),
      ts::Guid(u"SkinID", {0x78, 0x56, 0x34, 0x12, 0xCD, 0xAB, 0x01, 0xEF, 1, 2, 3, 4, 5, 6, 7, 8}),
  });
  ts::TreeNodeSpec resTree = ts::Dir(u"ROOT", {ts::Dir(u"Sounds", {ts::Binary(u"Ding", {'R', 'I', 'F', 'F'})})});
  if (!WriteFile(skin, ts::WriteTree(skinTree)) || !WriteFile(res, ts::WriteTree(resTree))) {
    std::printf("cannot write the sample files\n");
    return 1;
  }

  WNDCLASSW wc = {};
  wc.lpfnWndProc = &ListenerProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"SkinelleDemoListener";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"demo", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                100, nullptr, nullptr, wc.hInstance, nullptr);

  std::printf("RegisterSkinListener(window, WM_APP+1, WM_APP+2) = %s\n",
              Bool(RegisterSkinListener(window, kSkinMsg, kTransparencyMsg)));
  std::printf("RegisterSkinListener again                     = %s\n",
              Bool(RegisterSkinListener(window, kSkinMsg, kTransparencyMsg)));
  std::printf("LoadSkinFile(\"%s\"):\n", Utf8(skin).c_str());
  SkinelleBool loaded = LoadSkinFile(skin.c_str());
  std::printf("  = %s\n", Bool(loaded));
  std::printf("LoadResFile(\"%s\") = %s (tells nobody)\n", Utf8(res).c_str(),
              Bool(LoadResFile(res.c_str())));
  std::printf("LoadSkinFile(missing file) = %s (tells nobody)\n",
              Bool(LoadSkinFile((folder + L"missing.skn").c_str())));

  wchar_t caption[16] = {};
  SkinelleBool ok = GetSkinStringByName(L"MainForm\\Caption", caption, sizeof caption - 2);
  std::printf("GetSkinStringByName(MainForm\\Caption)   = %s \"%s\"\n", Bool(ok),
              Utf8(caption).c_str());
  int32_t width = 0, height = 0;
  GetSkinInt32ByName(L"MainForm\\Width", &width);
  GetSkinInt32ByName(L"\\MainForm\\Height\\", &height);
  std::printf("GetSkinInt32ByName(MainForm\\Width, \\MainForm\\Height\\) = %d x %d\n", width,
              height);
  double alpha = 0;
  ok = GetSkinDoubleByName(L"MainForm\\Alpha", &alpha);
  std::printf("GetSkinDoubleByName(MainForm\\Alpha)     = %s %.2f\n", Bool(ok), alpha);
  SkinelleBool transparent = 0;
  ok = GetSkinBoolByName(L"MainForm\\Transparent", &transparent);
  std::printf("GetSkinBoolByName(MainForm\\Transparent) = %s value %d\n", Bool(ok), transparent);
  void* data = nullptr;
  int32_t size = 0;
  ok = GetSkinBitmapByName(L"MainForm\\Background", &data, &size);
  std::printf("GetSkinBitmapByName(MainForm\\Background) = %s, %d bytes starting \"%c%c\"\n",
              Bool(ok), size, ok ? static_cast<char*>(data)[0] : '?',
              ok ? static_cast<char*>(data)[1] : '?');
  char font[8] = {};
  ok = GetSkinStringByName(L"Font\\Name", font, sizeof font - 1);
  std::printf("GetSkinStringByName(Font\\Name)          = %s \"%s\"\n", Bool(ok),
              AnsiToUtf8(font).c_str());
  uint32_t color = 0;
  GetSkinUInt32ByName(L"Font\\Color", &color);
  std::printf("GetSkinUInt32ByName(Font\\Color)         = 0x%08X\n", color);
  GUID id = {};
  if (GetSkinGUIDByName(L"SkinID", &id))
    std::printf("GetSkinGUIDByName(SkinID)               = {%08lX-%04X-%04X-...}\n",
                static_cast<unsigned long>(id.Data1), id.Data2, id.Data3);
  std::printf("GetSkinInt32ByName(mainform\\width)      = %s (names compare exactly)\n",
              Bool(GetSkinInt32ByName(L"mainform\\width", &width)));
  std::printf("GetSkinDoubleByName(MainForm\\Width)     = %s (only four bytes there)\n",
              Bool(GetSkinDoubleByName(L"MainForm\\Width", &alpha)));
  ok = GetResFileByName(L"Sounds\\Ding", &data, &size);
  std::printf("GetResFileByName(Sounds\\Ding)           = %s, %d bytes\n", Bool(ok), size);

  std::printf("ChangeSkinTransparency(-1, 180):\n");
  ChangeSkinTransparency(-1, 180);
  std::printf("ChangeSkinTransparency(0, 255):\n");
  ChangeSkinTransparency(0, 255);
  UnRegisterSkinListener(window);
  std::printf("UnRegisterSkinListener(window); ChangeSkinTransparency(1, 1):\n");
  ChangeSkinTransparency(1, 1);
  std::printf("  (nothing received)\n");
  DestroyWindow(window);
  DeleteFileW(skin.c_str());
  DeleteFileW(res.c_str());
  return loaded ? 0 : 1;
}
