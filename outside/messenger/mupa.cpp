// A stand-in for the messenger "mupa.exe": what Intora expects of it, and a record of what it
// receives so that tests can check it.
//
//   mupa.exe [--prop N] [--number N] [--record FILE] [--stop FILE] [--lifetime MS]
//            [--no-window] [--no-mutex] [--hang]
//
// --prop      value of the window property (default 1)
// --number    answer to the number query 11020 (default 0: not logged in)
// --record    file the record lines are appended to (default "messenger-record.txt" beside
//             the program)
// --stop      the program ends soon after this file appears (default "messenger-stop" beside
//             the program)
// --lifetime  the program ends after this many milliseconds in any case (default 60000)
// --no-window no main window; --no-mutex no named mutex
// --hang      the window exists but its thread never handles a message
//
// Record lines (ASCII):
//   started pid=<n> hwnd=<the handle's 32 bits> prop=<n> number=<n> mutex=<0|1> hang=<0|1>
//   number-query wparam=<n> lparam=<n>
//   copydata self=<1 when wParam is this window> dwData=<n> cbData=<n> data=<hex>
//   stopped
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char ClientGUID[] = "{3FC388DD-B40F-4F22-86A1-6F467F655A6C}";
const UINT MSG_GET_NUMBER = 11020;

struct Options {
  long prop = 1;
  long number = 0;
  std::string record;
  std::string stop;
  DWORD lifetime = 60000;
  bool window = true;
  bool mutex = true;
  bool hang = false;
};

Options g_options;
HWND g_window = nullptr;

std::string ProgramFolder() {
  char name[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, name, MAX_PATH);
  std::string path(name, n);
  size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void Record(const std::string& line) {
  FILE* f = std::fopen(g_options.record.c_str(), "ab");
  if (!f) return;
  std::fprintf(f, "%s\n", line.c_str());
  std::fclose(f);
}

std::string Hex(const void* data, size_t size) {
  static const char digits[] = "0123456789abcdef";
  const unsigned char* p = static_cast<const unsigned char*>(data);
  std::string out;
  for (size_t i = 0; i < size; ++i) {
    out += digits[p[i] >> 4];
    out += digits[p[i] & 15];
  }
  return out;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case MSG_GET_NUMBER:
      Record("number-query wparam=" + std::to_string(wParam) +
             " lparam=" + std::to_string(lParam));
      return static_cast<LRESULT>(g_options.number);
    case WM_COPYDATA: {
      const COPYDATASTRUCT* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      std::string line = "copydata self=" + std::to_string(wParam == reinterpret_cast<WPARAM>(hwnd));
      if (cds) {
        line += " dwData=" + std::to_string(cds->dwData) + " cbData=" + std::to_string(cds->cbData);
        size_t size = cds->lpData ? (cds->cbData < 4096 ? cds->cbData : 4096) : 0;
        line += " data=" + Hex(cds->lpData, size);
      }
      Record(line);
      return TRUE;
    }
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      RemovePropA(hwnd, ClientGUID);
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void ParseOptions() {
  int argc = __argc;
  char** argv = __argv;
  std::string folder = ProgramFolder();
  g_options.record = folder + "messenger-record.txt";
  g_options.stop = folder + "messenger-stop";
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
    if (a == "--prop" && next) {
      g_options.prop = std::strtol(next, nullptr, 10), ++i;
    } else if (a == "--number" && next) {
      g_options.number = std::strtol(next, nullptr, 10), ++i;
    } else if (a == "--record" && next) {
      g_options.record = next, ++i;
    } else if (a == "--stop" && next) {
      g_options.stop = next, ++i;
    } else if (a == "--lifetime" && next) {
      g_options.lifetime = std::strtoul(next, nullptr, 10), ++i;
    } else if (a == "--no-window") {
      g_options.window = false;
    } else if (a == "--no-mutex") {
      g_options.mutex = false;
    } else if (a == "--hang") {
      g_options.hang = true;
    }
  }
}

bool StopRequested() {
  return GetFileAttributesA(g_options.stop.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  ParseOptions();

  HANDLE mutex = g_options.mutex ? CreateMutexA(nullptr, FALSE, ClientGUID) : nullptr;

  if (g_options.window) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "MupaMessengerStandIn";
    RegisterClassA(&wc);
    // A hidden top-level window, as the real messenger's main window may be.
    g_window = CreateWindowExA(0, wc.lpszClassName, "mupa", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                               nullptr, nullptr, instance, nullptr);
    SetPropA(g_window, ClientGUID, reinterpret_cast<HANDLE>(static_cast<intptr_t>(g_options.prop)));
  }

  Record("started pid=" + std::to_string(GetCurrentProcessId()) +
         " hwnd=" + std::to_string(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(g_window))) +
         " prop=" + std::to_string(g_options.prop) + " number=" + std::to_string(g_options.number) +
         " mutex=" + std::to_string(mutex != nullptr) + " hang=" + std::to_string(g_options.hang));

  DWORD start = GetTickCount();
  bool quit = false;
  while (!quit && GetTickCount() - start < g_options.lifetime && !StopRequested()) {
    if (g_options.hang) {
      Sleep(50);  // never looks at the message queue
      continue;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
        break;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }

  if (g_window && IsWindow(g_window)) {
    RemovePropA(g_window, ClientGUID);
    DestroyWindow(g_window);
  }
  if (mutex) CloseHandle(mutex);
  Record("stopped");
  return 0;
}
