// A host program of Skinelle.dll: loads the library at run time, resolves its exports by name
// and by ordinal, and drives it with real listener windows, one of them on a thread of its
// own and one destroyed without being unregistered.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Skinelle.h"
#include "testsupport/BinTreeWriter.h"
#include "testsupport/TempFolder.h"

namespace {

namespace fs = std::filesystem;
namespace ts = testsupport;

struct Export {
  const char* Name;
  WORD Ordinal;
};
const Export kExports[] = {
    {"GetResFileByName", 1},        {"GetResStreamByName", 2},     {"GetResGUIDByName", 3},
    {"GetResBoolByName", 4},        {"GetResDoubleByName", 5},     {"GetResFloatByName", 6},
    {"GetResUInt32ByName", 7},      {"GetResInt32ByName", 8},      {"GetResStringByName", 9},
    {"GetResBitmapByName", 10},     {"LoadResFile", 11},           {"GetSkinFileByName", 12},
    {"GetSkinStreamByName", 13},    {"GetSkinGUIDByName", 14},     {"GetSkinBoolByName", 15},
    {"GetSkinDoubleByName", 16},    {"GetSkinFloatByName", 17},    {"GetSkinUInt32ByName", 18},
    {"GetSkinInt32ByName", 19},     {"GetSkinStringByName", 20},   {"GetSkinBitmapByName", 21},
    {"UnRegisterSkinListener", 22}, {"RegisterSkinListener", 23},  {"ChangeSkinTransparency", 24},
    {"LoadSkinFile", 25},
};

// The exports this host calls, resolved from the loaded library.
struct Api {
  decltype(&LoadSkinFile) LoadSkin;
  decltype(&LoadResFile) LoadRes;
  decltype(&ChangeSkinTransparency) ChangeTransparency;
  decltype(&RegisterSkinListener) Register;
  decltype(&UnRegisterSkinListener) Unregister;
  decltype(&GetSkinInt32ByName) SkinInt32;
  decltype(&GetSkinStringByName) SkinString;
  decltype(&GetSkinBitmapByName) SkinBitmap;
  decltype(&GetSkinGUIDByName) SkinGuid;
  decltype(&GetSkinDoubleByName) SkinDouble;
  decltype(&GetResInt32ByName) ResInt32;
  decltype(&GetResFileByName) ResFile;
};

template <class Fn>
void Resolve(HMODULE lib, const char* name, Fn& fn) {
  fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(lib, name)));
  ASSERT_NE(nullptr, reinterpret_cast<void*>(fn)) << name;
}

// Every message from WM_APP on that a listener window receives, with the receiving thread.
struct Received {
  HWND Window;
  UINT Message;
  WPARAM WParam;
  LPARAM LParam;
  DWORD Thread;
};
std::mutex g_logLock;
std::vector<Received> g_log;
// Runs inside the window procedure on every logged message (main thread windows only).
void (*g_onMessage)(HWND, UINT) = nullptr;

LRESULT CALLBACK ListenerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg >= WM_APP && msg < 0xC000) {
    {
      std::lock_guard<std::mutex> hold(g_logLock);
      g_log.push_back({hwnd, msg, wp, lp, GetCurrentThreadId()});
    }
    if (g_onMessage) g_onMessage(hwnd, msg);
    return 1;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

const wchar_t kClass[] = L"SkinelleHostListener";

HWND NewListener() {
  return CreateWindowExW(0, kClass, L"listener", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                         nullptr, GetModuleHandleW(nullptr), nullptr);
}

std::vector<Received> TakeLog() {
  std::lock_guard<std::mutex> hold(g_logLock);
  std::vector<Received> out;
  out.swap(g_log);
  return out;
}

// A listener window owned by a second thread that pumps its messages until told to stop.
class ThreadWindow {
public:
  ThreadWindow() {
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, &ThreadWindow::Run, this, 0, &threadId_);
    if (WaitForSingleObject(ready_, 10000) != WAIT_OBJECT_0) hwnd_ = nullptr;
  }
  ~ThreadWindow() {
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_, 10000);
    CloseHandle(thread_);
    CloseHandle(ready_);
  }
  HWND Handle() const { return hwnd_; }
  DWORD ThreadId() const { return threadId_; }

private:
  static DWORD WINAPI Run(void* arg) {
    auto* self = static_cast<ThreadWindow*>(arg);
    self->hwnd_ = NewListener();
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists from here
    SetEvent(self->ready_);
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    DestroyWindow(self->hwnd_);
    return 0;
  }

  HANDLE ready_ = nullptr;
  HANDLE thread_ = nullptr;
  DWORD threadId_ = 0;
  HWND hwnd_ = nullptr;
};

std::wstring ExeFolder() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring s(path, n);
  return s.substr(0, s.find_last_of(L"\\/") + 1);
}

class SkinelleHost : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &ListenerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);
  }

  void SetUp() override {
    lib_ = LoadLibraryW((ExeFolder() + L"Skinelle.dll").c_str());
    ASSERT_NE(nullptr, lib_);
    Resolve(lib_, "LoadSkinFile", api_.LoadSkin);
    Resolve(lib_, "LoadResFile", api_.LoadRes);
    Resolve(lib_, "ChangeSkinTransparency", api_.ChangeTransparency);
    Resolve(lib_, "RegisterSkinListener", api_.Register);
    Resolve(lib_, "UnRegisterSkinListener", api_.Unregister);
    Resolve(lib_, "GetSkinInt32ByName", api_.SkinInt32);
    Resolve(lib_, "GetSkinStringByName", api_.SkinString);
    Resolve(lib_, "GetSkinBitmapByName", api_.SkinBitmap);
    Resolve(lib_, "GetSkinGUIDByName", api_.SkinGuid);
    Resolve(lib_, "GetSkinDoubleByName", api_.SkinDouble);
    Resolve(lib_, "GetResInt32ByName", api_.ResInt32);
    Resolve(lib_, "GetResFileByName", api_.ResFile);
    folder_ = std::make_unique<testsupport::TempFolder>("skinelle-host");
    dir_ = folder_->path();
    TakeLog();
    g_onMessage = nullptr;
  }

  void TearDown() override {
    g_onMessage = nullptr;
    if (lib_) FreeLibrary(lib_);
    folder_.reset();
  }

  std::wstring Write(const wchar_t* name, const ts::TreeNodeSpec& root, int32_t version = 100) {
    fs::path path = dir_ / name;
    std::vector<uint8_t> image = ts::WriteTree(root, version);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    return path.wstring();
  }

  HMODULE lib_ = nullptr;
  Api api_{};
  std::unique_ptr<testsupport::TempFolder> folder_;
  fs::path dir_;
};

TEST_F(SkinelleHost, EveryExportResolvesByNameAndByOrdinalToTheSameAddress) {
  for (const Export& e : kExports) {
    FARPROC byName = GetProcAddress(lib_, e.Name);
    FARPROC byOrdinal = GetProcAddress(lib_, MAKEINTRESOURCEA(e.Ordinal));
    EXPECT_NE(nullptr, byName) << e.Name;
    EXPECT_EQ(byName, byOrdinal) << e.Name << " @" << e.Ordinal;
  }
  EXPECT_EQ(nullptr, GetProcAddress(lib_, MAKEINTRESOURCEA(26)));
  EXPECT_EQ(nullptr, GetProcAddress(lib_, "_LoadSkinFile@4"));
  EXPECT_EQ(nullptr, GetProcAddress(lib_, "LoadSkinFile@4"));
}

TEST_F(SkinelleHost, LookupsReadTheLoadedFiles) {
  int32_t n = 0;
  EXPECT_EQ(0, api_.SkinInt32(L"Colors\\Back", &n));  // nothing loaded yet
  std::wstring skin = Write(L"默认皮肤.skn", ts::Dir(u"ROOT", {ts::Dir(u"Colors", {
      ts::Int32(u"Back", 0x00FF8040), ts::AnsiString(u"Title", "标题"),
      ts::Binary(u"Logo", {0x42, 0x4D, 1, 2}),
      ts::Guid(u"Id", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}),
      ts::Real64(u"Alpha", 0.75)})}));
  std::wstring res = Write(L"res.dat", ts::Dir(u"ROOT", {ts::Int32(u"Count", 12),
                                                          ts::Binary(u"Sound", {7, 7, 7})}));
  ASSERT_EQ(-1, api_.LoadSkin(skin.c_str()));
  ASSERT_EQ(-1, api_.LoadRes(res.c_str()));

  EXPECT_EQ(-1, api_.SkinInt32(L" \\Colors\\Back\\ ", &n));
  EXPECT_EQ(0x00FF8040, n);
  char title[8] = "xxxxxxx";
  EXPECT_EQ(0, api_.SkinString(L"Colors\\Title", title, 3));
  EXPECT_EQ(-1, api_.SkinString(L"Colors\\Title", title, 4));
  EXPECT_EQ(0, std::memcmp(title, "标题xxx", 7));
  void* data = nullptr;
  int32_t size = 0;
  EXPECT_EQ(-1, api_.SkinBitmap(L"Colors\\Logo", &data, &size));
  ASSERT_EQ(4, size);
  EXPECT_EQ(0, std::memcmp(data, "BM\x01\x02", 4));
  uint8_t guid[16] = {};
  EXPECT_EQ(-1, api_.SkinGuid(L"Colors\\Id", guid));
  EXPECT_EQ(16, guid[15]);
  double alpha = 0;
  EXPECT_EQ(-1, api_.SkinDouble(L"Colors\\Alpha", &alpha));
  EXPECT_EQ(0.75, alpha);
  EXPECT_EQ(0, api_.SkinDouble(L"Colors\\Back", &alpha));  // four bytes only

  EXPECT_EQ(-1, api_.ResInt32(L"Count", &n));
  EXPECT_EQ(12, n);
  EXPECT_EQ(0, api_.ResInt32(L"Colors\\Back", &n));
  EXPECT_EQ(-1, api_.ResFile(L"Sound", &data, &size));
  EXPECT_EQ(3, size);
  EXPECT_EQ(0, api_.ResFile(L"Count", &data, &size));
  EXPECT_EQ(0, api_.SkinInt32(nullptr, &n));
}

TEST_F(SkinelleHost, ListenerWindowsReceiveTheirMessagesInOrder) {
  HWND first = NewListener();
  ThreadWindow other;
  ASSERT_NE(nullptr, other.Handle());
  HWND gone = NewListener();
  HWND last = NewListener();
  ASSERT_TRUE(first && gone && last);

  EXPECT_EQ(-1, api_.Register(first, WM_APP + 1, WM_APP + 2));
  EXPECT_EQ(-1, api_.Register(other.Handle(), WM_APP + 3, WM_APP + 4));
  EXPECT_EQ(-1, api_.Register(gone, WM_APP + 5, WM_APP + 6));
  EXPECT_EQ(-1, api_.Register(last, WM_APP + 7, WM_APP + 8));
  EXPECT_EQ(0, api_.Register(first, WM_APP + 9, WM_APP + 10));
  DestroyWindow(gone);  // still registered

  std::wstring skin = Write(L"a.skn", ts::Dir(u"ROOT", {ts::Int32(u"X", 1)}));
  ASSERT_EQ(-1, api_.LoadSkin(skin.c_str()));
  api_.ChangeTransparency(5, 200);
  api_.ChangeTransparency(0, -1);
  // Neither resource loads nor failed skin loads tell anybody.
  EXPECT_EQ(-1, api_.LoadRes(skin.c_str()));
  EXPECT_EQ(0, api_.LoadSkin((dir_ / L"missing.skn").wstring().c_str()));
  EXPECT_EQ(0, api_.LoadSkin(Write(L"v99.skn", ts::Dir(u"ROOT"), 99).c_str()));

  std::vector<Received> log = TakeLog();
  struct Want {
    HWND Window;
    UINT Message;
    WPARAM WParam;
    LPARAM LParam;
  };
  const Want want[] = {
      {first, WM_APP + 1, 0, 0},   {other.Handle(), WM_APP + 3, 0, 0},   {last, WM_APP + 7, 0, 0},
      {first, WM_APP + 2, 1, 200}, {other.Handle(), WM_APP + 4, 1, 200}, {last, WM_APP + 8, 1, 200},
      {first, WM_APP + 2, 0, -1},  {other.Handle(), WM_APP + 4, 0, -1},  {last, WM_APP + 8, 0, -1},
  };
  ASSERT_EQ(sizeof want / sizeof want[0], log.size());
  for (size_t i = 0; i < log.size(); ++i) {
    EXPECT_EQ(want[i].Window, log[i].Window) << i;
    EXPECT_EQ(want[i].Message, log[i].Message) << i;
    EXPECT_EQ(want[i].WParam, log[i].WParam) << i;
    EXPECT_EQ(want[i].LParam, log[i].LParam) << i;
    EXPECT_EQ(log[i].Window == other.Handle() ? other.ThreadId() : GetCurrentThreadId(),
              log[i].Thread)
        << i;
  }

  api_.Unregister(first);
  api_.Unregister(other.Handle());
  api_.Unregister(gone);
  api_.Unregister(last);
  DestroyWindow(first);
  DestroyWindow(last);
}

HWND g_removeOnMessage = nullptr;
HWND g_addOnMessage = nullptr;
decltype(&RegisterSkinListener) g_register = nullptr;
decltype(&UnRegisterSkinListener) g_unregister = nullptr;

TEST_F(SkinelleHost, AListenerMayChangeTheListWhileItHandlesItsMessage) {
  HWND a = NewListener(), b = NewListener(), c = NewListener(), d = NewListener();
  api_.Register(a, WM_APP + 1, WM_APP + 2);
  api_.Register(b, WM_APP + 1, WM_APP + 2);
  api_.Register(c, WM_APP + 1, WM_APP + 2);
  g_register = api_.Register;
  g_unregister = api_.Unregister;
  g_removeOnMessage = c;
  g_addOnMessage = d;
  // a removes itself and c, and adds d, on its first message.
  g_onMessage = [](HWND hwnd, UINT) {
    if (!g_removeOnMessage) return;
    g_unregister(hwnd);
    g_unregister(g_removeOnMessage);
    g_register(g_addOnMessage, WM_APP + 1, WM_APP + 2);
    g_removeOnMessage = nullptr;
  };
  api_.ChangeTransparency(1, 1);
  api_.ChangeTransparency(1, 2);
  std::vector<Received> log = TakeLog();
  std::vector<HWND> order;
  for (const Received& r : log) order.push_back(r.Window);
  EXPECT_EQ((std::vector<HWND>{a, b, b, d}), order);
  for (HWND h : {a, b, c, d}) {
    api_.Unregister(h);
    DestroyWindow(h);
  }
}

TEST_F(SkinelleHost, UnloadingAndLoadingAgainStartsAfresh) {
  HWND w = NewListener();
  api_.Register(w, WM_APP + 1, WM_APP + 2);
  std::wstring skin = Write(L"b.skn", ts::Dir(u"ROOT", {ts::Int32(u"X", 3)}));
  ASSERT_EQ(-1, api_.LoadSkin(skin.c_str()));
  FreeLibrary(lib_);
  lib_ = LoadLibraryW((ExeFolder() + L"Skinelle.dll").c_str());
  ASSERT_NE(nullptr, lib_);
  decltype(&GetSkinInt32ByName) lookup;
  Resolve(lib_, "GetSkinInt32ByName", lookup);
  decltype(&ChangeSkinTransparency) change;
  Resolve(lib_, "ChangeSkinTransparency", change);
  int32_t n = 0;
  EXPECT_EQ(0, lookup(L"X", &n));
  TakeLog();
  change(1, 1);
  EXPECT_TRUE(TakeLog().empty());
  DestroyWindow(w);
}

}  // namespace
