// Drives Intora's number-selection dialog from outside, the way a user would, and prints what
// it sees. Commands run in order:
//   wait MS         waits for the dialog; prints "dialog caption=<text> rows=<n> height=<h>
//                   rect=<left>,<top>,<width>,<height>"
//                   and one "row <i> <text>" line per list row
//   messengers      prints "messenger <hwnd>" for every messenger window, topmost first
//   select I        clicks row I of the list
//   dblclick I      double-clicks row I of the list
//   ok              clicks the OK button
//   close           clicks the close button in the title band
//   drag B DX DY    presses button B (left/right) on the background, moves by DX,DY, releases;
//                   prints "moved <dx> <dy>" (how far the window went)
//   message MS      waits for a message box; prints "message caption=<c> text=<t>", presses OK
//   gone MS         waits until the dialog has closed; prints "gone" (or fails)
// Any failure prints "error: ..." and ends with exit code 1.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kCaption[] = "请选择号码";
const char kClientGUID[] = "{3FC388DD-B40F-4F22-86A1-6F467F655A6C}";
HWND dialog = nullptr;

[[noreturn]] void Fail(const std::string& what) {
  std::printf("error: %s\n", what.c_str());
  std::fflush(stdout);
  std::exit(1);
}

std::string ClassOf(HWND w) {
  char name[64] = "";
  GetClassNameA(w, name, sizeof name);
  return name;
}

std::string TextOf(HWND w) {
  char text[256] = "";
  GetWindowTextA(w, text, sizeof text);
  return text;
}

HWND FindDialog() {
  for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
    if (IsWindowVisible(w) && ClassOf(w) == "UiWindow" && TextOf(w) == kCaption) return w;
  return nullptr;
}

HWND Child(const char* className) {
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (ClassOf(c) == className) return c;
  Fail(std::string("no ") + className + " in the dialog");
}

HWND ListBox() {
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (ClassOf(c) == "ListBox" || ClassOf(c) == "LISTBOX" || ClassOf(c) == "listbox") return c;
  Fail("no list in the dialog");
}

void Click(HWND w, int x, int y, bool twice = false) {
  LPARAM at = MAKELPARAM(x, y);
  PostMessageA(w, WM_MOUSEMOVE, 0, at);
  PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(w, WM_LBUTTONUP, 0, at);
  if (twice) {
    PostMessageA(w, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(w, WM_LBUTTONUP, 0, at);
  }
  Sleep(300);
}

template <class Test>
bool WaitFor(int ms, Test test) {
  for (int waited = 0; waited <= ms; waited += 50) {
    if (test()) return true;
    Sleep(50);
  }
  return false;
}

void RowCenter(int row, int& x, int& y) {
  RECT r = {};
  if (SendMessageA(ListBox(), LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r)) == LB_ERR)
    Fail("no row " + std::to_string(row));
  x = (r.left + r.right) / 2;
  y = (r.top + r.bottom) / 2;
}

HWND FindMessageBox() {
  DWORD pid = 0;
  GetWindowThreadProcessId(dialog, &pid);
  for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid && IsWindowVisible(w) && ClassOf(w) == "#32770") return w;
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::string cmd = argv[i];
    auto arg = [&](const char* what) -> const char* {
      if (i + 1 >= argc) Fail(cmd + " needs " + what);
      return argv[++i];
    };
    if (cmd == "wait") {
      int ms = std::atoi(arg("a time"));
      if (!WaitFor(ms, [] { return (dialog = FindDialog()) != nullptr; })) Fail("no dialog");
      HWND list = ListBox();
      // The dialog is shown once the list holds its rows.
      Sleep(300);
      int rows = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
      int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
      RECT r;
      GetWindowRect(dialog, &r);
      std::printf("dialog caption=%s rows=%d height=%d rect=%ld,%ld,%ld,%ld\n",
                  TextOf(dialog).c_str(), rows, height, r.left, r.top, r.right - r.left,
                  r.bottom - r.top);
      for (int r = 0; r < rows; ++r) {
        // Asked for in UTF-16: the text comes back whole across processes.
        wchar_t wide[64] = L"";
        char text[128] = "";
        if (SendMessageW(list, LB_GETTEXTLEN, r, 0) < 64)
          SendMessageW(list, LB_GETTEXT, r, reinterpret_cast<LPARAM>(wide));
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        std::printf("row %d %s\n", r, text);
      }
    } else if (cmd == "messengers") {
      for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        if (reinterpret_cast<INT_PTR>(GetPropA(w, kClientGUID)) == 1)
          std::printf("messenger %u\n", static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(w)));
    } else if (cmd == "select" || cmd == "dblclick") {
      int x, y;
      RowCenter(std::atoi(arg("a row")), x, y);
      Click(ListBox(), x, y, cmd == "dblclick");
    } else if (cmd == "ok") {
      Click(Child("UiWindow"), 10, 10);
    } else if (cmd == "close") {
      Click(dialog, 273, 8);
    } else if (cmd == "drag") {
      std::string button = arg("a button");
      int dx = std::atoi(arg("dx")), dy = std::atoi(arg("dy"));
      bool left = button == "left";
      RECT before, after;
      GetWindowRect(dialog, &before);
      WPARAM held = left ? MK_LBUTTON : MK_RBUTTON;
      PostMessageA(dialog, WM_MOUSEMOVE, 0, MAKELPARAM(100, 120));
      PostMessageA(dialog, left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, held, MAKELPARAM(100, 120));
      PostMessageA(dialog, WM_MOUSEMOVE, held, MAKELPARAM(100 + dx, 120 + dy));
      PostMessageA(dialog, left ? WM_LBUTTONUP : WM_RBUTTONUP, 0, MAKELPARAM(100 + dx, 120 + dy));
      Sleep(400);
      GetWindowRect(dialog, &after);
      std::printf("moved %ld %ld\n", after.left - before.left, after.top - before.top);
    } else if (cmd == "message") {
      int ms = std::atoi(arg("a time"));
      HWND box = nullptr;
      if (!WaitFor(ms, [&] { return (box = FindMessageBox()) != nullptr; })) Fail("no message");
      std::string text;
      for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (ClassOf(c) == "Static" && !TextOf(c).empty()) text = TextOf(c);
      std::printf("message caption=%s text=%s\n", TextOf(box).c_str(), text.c_str());
      std::fflush(stdout);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      if (!WaitFor(ms, [&] { return !IsWindow(box) || !IsWindowVisible(box); }))
        Fail("message stays");
    } else if (cmd == "gone") {
      int ms = std::atoi(arg("a time"));
      if (!WaitFor(ms, [] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }))
        Fail("dialog stays");
      std::printf("gone\n");
    } else {
      Fail("unknown command " + cmd);
    }
    std::fflush(stdout);
  }
  return 0;
}
