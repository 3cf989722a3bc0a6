// Test helper: plays the user in front of Intora's start prompt.
//
//   intora_driver prompt yes|no TIMEOUT_MS
//     waits for the message box captioned "提示", prints its text (hex of the ANSI bytes) and
//     whether it has an owner window, then presses Yes or No. Exit code 0 when pressed,
//     3 when no such box appeared in time.
//   intora_driver hold FILE RELEASE MS
//     opens FILE without sharing it, prints "held" and keeps it open until the file RELEASE
//     exists, for MS milliseconds at the most.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

HWND FindPrompt() {
  return FindWindowA("#32770", "提示");
}

HWND WaitForPrompt(DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND box = FindPrompt();
    if (box && IsWindowVisible(box)) return box;
    if (GetTickCount() - start >= timeoutMs) return nullptr;
    Sleep(50);
  }
}

void Press(HWND box, int id) {
  HWND button = GetDlgItem(box, id);
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

int Usage() {
  std::fprintf(stderr,
               "usage: intora_driver prompt yes|no TIMEOUT_MS | hold FILE RELEASE MS\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  std::string command = argv[1];
  if (command == "prompt" && argc >= 4) {
    bool yes = std::strcmp(argv[2], "yes") == 0;
    HWND box = WaitForPrompt(std::strtoul(argv[3], nullptr, 10));
    if (!box) {
      std::printf("no prompt\n");
      return 3;
    }
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    std::printf("text=%s\n", Hex(text).c_str());
    std::printf("owner=%d\n", GetWindow(box, GW_OWNER) != nullptr);
    std::fflush(stdout);
    Press(box, yes ? IDYES : IDNO);
    return 0;
  }
  if (command == "hold" && argc >= 5) {
    HANDLE file = CreateFileA(argv[2], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      std::printf("cannot open\n");
      return 5;
    }
    std::printf("held\n");
    std::fflush(stdout);
    DWORD start = GetTickCount(), limit = std::strtoul(argv[4], nullptr, 10);
    while (GetFileAttributesA(argv[3]) == INVALID_FILE_ATTRIBUTES && GetTickCount() - start < limit)
      Sleep(50);
    CloseHandle(file);
    return 0;
  }
  return Usage();
}
