// Test helper: plays the user in front of Brovia's main window.
//
//   brovia_driver wait CONDITION TIMEOUT_MS
//     waits until the window "Pelora浏览器" is in the state CONDITION and prints its state;
//     exit code 0 when it got there, 3 when not in time. CONDITION is one of
//       full       shown, no caption, covering the whole primary screen
//       borderless shown, no caption, at the screen's top left corner, any size
//       window     shown with a caption and a sizing frame, not minimised or maximised
//       framed     shown with a caption and a sizing frame, maximised or not
//       hidden     exists but not shown
//       minimized  shown and minimised
//       tabdown    the title tab is shown at the top edge (top 0)
//       tabup      the title tab has floated up out of sight (top -20)
//       exists     the window exists
//       gone       no such window (the program has ended)
//   brovia_driver hold CONDITION MS
//     the window stays in the state CONDITION for MS milliseconds: exit code 0, or 3 when it
//     leaves it (its state is printed).
//   brovia_driver state
//     prints the window's state (see PrintState), exit code 3 without the window.
//   brovia_driver windows
//     lists the shown top-level windows of the window's thread (class and caption): an error
//     box or a menu left open shows there.
//   brovia_driver post MESSAGE WPARAM LPARAM
//     posts a message to the window (numbers in C notation: 0x100, 122).
//   brovia_driver tab-click X Y
//     clicks the title tab at X, Y (tab coordinates) with posted mouse messages.
//   brovia_driver error-box TIMEOUT_MS
//     waits for a message box of the window's thread, prints its caption and text (ANSI) and
//     presses its OK button; exit code 3 when none appeared in time.
//   brovia_driver tray MOUSE-MESSAGE
//     plays a mouse message (0x203 double-click, 0x205 right button up) on the window's
//     notification-area icon: posts the icon's callback message to the window that owns it.
//   brovia_driver menu INDEX TIMEOUT_MS
//     waits for a shown popup menu and chooses its entry INDEX (0 the top one) with the
//     keyboard; exit code 3 without a menu.
// Commands joined by "--" run one after the other in one run of the driver, up to the first
// that fails: "post 0x100 0x1B 0 -- wait tabdown 5000" takes no second start of a program.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char Caption[] = "Pelora浏览器";

HWND MainWindow() { return FindWindowA(nullptr, Caption); }

DWORD Number(const char* text) { return std::strtoul(text, nullptr, 0); }

struct State {
  bool exists = false, visible = false, iconic = false, zoomed = false;
  bool caption = false, sizeable = false;
  RECT rect{};
  int screenWidth = 0, screenHeight = 0;
};

State Read(HWND window) {
  State s;
  s.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  s.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  if (!window) return s;
  s.exists = true;
  s.visible = IsWindowVisible(window) != FALSE;
  s.iconic = IsIconic(window) != FALSE;
  s.zoomed = IsZoomed(window) != FALSE;
  LONG style = GetWindowLongA(window, GWL_STYLE);
  s.caption = (style & WS_CAPTION) == WS_CAPTION;
  s.sizeable = (style & WS_THICKFRAME) != 0;
  GetWindowRect(window, &s.rect);
  return s;
}

// The title tab: the descendant window of 243 x 19 pixels, wherever it is parented.
struct TabSearch {
  HWND tab = nullptr;
};

BOOL CALLBACK FindTab(HWND child, LPARAM data) {
  RECT r;
  GetWindowRect(child, &r);
  if (r.right - r.left == 243 && r.bottom - r.top == 19) {
    reinterpret_cast<TabSearch*>(data)->tab = child;
    return FALSE;
  }
  return TRUE;
}

HWND Tab(HWND window) {
  TabSearch search;
  if (window) EnumChildWindows(window, FindTab, reinterpret_cast<LPARAM>(&search));
  return search.tab;
}

void PrintState(HWND window) {
  State s = Read(window);
  if (!s.exists) {
    std::printf("exists=0\n");
    return;
  }
  std::printf("exists=1 visible=%d iconic=%d zoomed=%d caption=%d sizeable=%d\n", s.visible,
              s.iconic, s.zoomed, s.caption, s.sizeable);
  std::printf("rect=%ld,%ld,%ld,%ld screen=%d,%d\n", s.rect.left, s.rect.top,
              s.rect.right - s.rect.left, s.rect.bottom - s.rect.top, s.screenWidth,
              s.screenHeight);
  if (HWND tab = Tab(window)) {
    RECT r;
    GetWindowRect(tab, &r);
    std::printf("tab=%d,%ld,%ld\n", IsWindowVisible(tab) != FALSE, r.left, r.top);
  } else {
    std::printf("tab=none\n");
  }
  std::fflush(stdout);
}

bool Holds(const std::string& condition, const State& s, HWND window) {
  if (condition == "gone") return !s.exists;
  if (condition == "exists") return s.exists;
  if (!s.exists) return false;
  if (condition == "hidden") return !s.visible;
  if (condition == "tabdown" || condition == "tabup") {
    HWND tab = Tab(window);
    RECT r{};
    if (!tab || !IsWindowVisible(tab) || !GetWindowRect(tab, &r)) return false;
    return r.top - s.rect.top == (condition == "tabdown" ? 0 : -20);
  }
  if (condition == "minimized") return s.visible && s.iconic;
  if (condition == "full")
    return s.visible && !s.iconic && !s.caption && s.rect.left == 0 && s.rect.top == 0 &&
           s.rect.right == s.screenWidth && s.rect.bottom == s.screenHeight;
  if (condition == "borderless")
    return s.visible && !s.iconic && !s.caption && s.rect.left == 0 && s.rect.top == 0;
  if (condition == "window")
    return s.visible && !s.iconic && !s.zoomed && s.caption && s.sizeable;
  if (condition == "framed") return s.visible && !s.iconic && s.caption && s.sizeable;
  return false;
}

int Wait(const std::string& condition, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND window = MainWindow();
    if (Holds(condition, Read(window), window)) {
      PrintState(window);
      return 0;
    }
    if (GetTickCount() - start >= timeoutMs) {
      std::printf("not %s in time\n", condition.c_str());
      PrintState(window);
      return 3;
    }
    Sleep(50);
  }
}

int Hold(const std::string& condition, DWORD ms) {
  DWORD start = GetTickCount();
  do {
    HWND window = MainWindow();
    if (!Holds(condition, Read(window), window)) {
      std::printf("left %s\n", condition.c_str());
      PrintState(window);
      return 3;
    }
    Sleep(20);
  } while (GetTickCount() - start < ms);
  return 0;
}

// The notification-area icon: the window of Brovia's thread that the icon reports to. The
// toolkit's tray icon keeps a hidden window of the class below and sends it kTrayMessage.
const char TrayClass[] = "UiTrayIcon";
const UINT TrayMessage = WM_APP + 0x100;

struct TraySearch {
  HWND window = nullptr;
};

BOOL CALLBACK FindTray(HWND window, LPARAM data) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::strcmp(name, TrayClass) == 0) {
    reinterpret_cast<TraySearch*>(data)->window = window;
    return FALSE;
  }
  return TRUE;
}

int Tray(UINT mouseMessage) {
  HWND main = MainWindow();
  if (!main) return 3;
  DWORD thread = GetWindowThreadProcessId(main, nullptr);
  TraySearch search;
  EnumThreadWindows(thread, FindTray, reinterpret_cast<LPARAM>(&search));
  if (!search.window) {
    std::printf("no tray icon window\n");
    return 4;
  }
  PostMessageA(search.window, TrayMessage, 1, mouseMessage);
  return 0;
}

// Menus belong to their process: the entry is found by its place, counted from the top.
int Menu(int index, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  HWND popup = nullptr;
  while (!(popup = FindWindowA("#32768", nullptr)) || !IsWindowVisible(popup)) {
    if (GetTickCount() - start >= timeoutMs) {
      std::printf("no menu\n");
      return 3;
    }
    Sleep(50);
  }
  // Down arrows from no selection: the first press selects the first entry.
  for (int k = 0; k <= index; ++k) {
    PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(popup, WM_KEYUP, VK_DOWN, 0);
  }
  PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
  PostMessageA(popup, WM_KEYUP, VK_RETURN, 0);
  return 0;
}

BOOL CALLBACK ListWindow(HWND window, LPARAM) {
  if (!IsWindowVisible(window)) return TRUE;
  char name[64] = {}, caption[256] = {};
  GetClassNameA(window, name, sizeof name);
  GetWindowTextA(window, caption, sizeof caption);
  std::printf("window class=%s caption=%s\n", name, caption);
  return TRUE;
}

int TabClick(int x, int y) {
  HWND tab = Tab(MainWindow());
  if (!tab) return 3;
  LPARAM at = MAKELPARAM(x, y);
  PostMessageA(tab, WM_MOUSEMOVE, 0, at);
  PostMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(tab, WM_LBUTTONUP, 0, at);
  return 0;
}

struct BoxSearch {
  HWND box = nullptr;
};

BOOL CALLBACK FindBox(HWND window, LPARAM data) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::strcmp(name, "#32770") == 0 && IsWindowVisible(window)) {
    reinterpret_cast<BoxSearch*>(data)->box = window;
    return FALSE;
  }
  return TRUE;
}

int ErrorBox(DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND main = MainWindow()) {
      BoxSearch search;
      EnumThreadWindows(GetWindowThreadProcessId(main, nullptr), FindBox,
                        reinterpret_cast<LPARAM>(&search));
      if (search.box) {
        char caption[256] = {}, text[1024] = {};
        GetWindowTextA(search.box, caption, sizeof caption);
        GetDlgItemTextA(search.box, 0xFFFF, text, sizeof text);
        std::printf("caption=%s\ntext=%s\n", caption, text);
        std::fflush(stdout);
        PostMessageA(search.box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(search.box, IDOK)));
        return 0;
      }
    }
    if (GetTickCount() - start >= timeoutMs) return 3;
    Sleep(50);
  }
}

int Windows() {
  HWND main = MainWindow();
  if (!main) return 3;
  EnumThreadWindows(GetWindowThreadProcessId(main, nullptr), ListWindow, 0);
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: brovia_driver wait CONDITION MS | hold CONDITION MS | state | windows |"
               " post MSG WPARAM LPARAM | tab-click X Y | error-box MS | tray MOUSE-MSG |"
               " menu INDEX MS [-- another command...]\n");
  return 2;
}

int Run(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string command = argv[1];
  if (command == "wait" && argc >= 4) return Wait(argv[2], Number(argv[3]));
  if (command == "hold" && argc >= 4) return Hold(argv[2], Number(argv[3]));
  if (command == "state") {
    HWND window = MainWindow();
    PrintState(window);
    return window ? 0 : 3;
  }
  if (command == "windows") return Windows();
  if (command == "tab-click" && argc >= 4)
    return TabClick(static_cast<int>(Number(argv[2])), static_cast<int>(Number(argv[3])));
  if (command == "error-box" && argc >= 3) return ErrorBox(Number(argv[2]));
  if (command == "post" && argc >= 5) {
    HWND window = MainWindow();
    if (!window) return 3;
    return PostMessageA(window, Number(argv[2]), Number(argv[3]), Number(argv[4])) ? 0 : 5;
  }
  if (command == "tray" && argc >= 3) return Tray(Number(argv[2]));
  if (command == "menu" && argc >= 4)
    return Menu(static_cast<int>(Number(argv[2])), Number(argv[3]));
  return Usage();
}

}  // namespace

int main(int argc, char** argv) {
  // Each command sees its own words as argv[1...].
  int first = 1;
  for (int i = 1; i <= argc; ++i) {
    if (i < argc && std::strcmp(argv[i], "--") != 0) continue;
    argv[first - 1] = argv[0];
    if (int rc = Run(i - first + 1, argv + first - 1)) return rc;
    first = i + 1;
  }
  return 0;
}
