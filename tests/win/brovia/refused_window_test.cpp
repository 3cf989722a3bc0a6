// Brovia.exe started while a window hook refuses it a window that its main window needs: the
// error is shown in the program's error box and the program ends normally.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/module.h"

namespace {

struct Box {
  DWORD process;
  HWND window = nullptr;
};

BOOL CALLBACK FindBox(HWND w, LPARAM p) {
  auto* box = reinterpret_cast<Box*>(p);
  DWORD process = 0;
  GetWindowThreadProcessId(w, &process);
  char name[16] = "";
  GetClassNameA(w, name, sizeof name);
  if (process != box->process || std::string(name) != "#32770" || !IsWindowVisible(w))
    return TRUE;
  box->window = w;
  return FALSE;
}

TEST(BroviaStart, AWindowThatCannotBeMadeIsReportedAndTheProgramEnds) {
  const std::string bin = plat::ExtractFilePath(plat::ModuleFileNameA(nullptr));
  HMODULE hookLibrary = LoadLibraryA((bin + "refuse_tray_window.dll").c_str());
  ASSERT_NE(hookLibrary, nullptr);
  auto proc = reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void*>(GetProcAddress(hookLibrary, "RefuseTrayWindow")));
  ASSERT_NE(proc, nullptr);
  HHOOK hook = SetWindowsHookExA(WH_CBT, proc, hookLibrary, 0);
  ASSERT_NE(hook, nullptr);

  std::string command = "\"" + bin + "Brovia.exe\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION brovia = {};
  ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                             bin.c_str(), &startup, &brovia));
  // Every box the program shows is read and answered, until it ends.
  std::string boxes;
  DWORD start = GetTickCount();
  while (WaitForSingleObject(brovia.hProcess, 50) == WAIT_TIMEOUT &&
         GetTickCount() - start < 60000) {
    Box box{brovia.dwProcessId};
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
    if (!box.window) continue;
    char caption[256] = "", text[1024] = "";
    GetWindowTextA(box.window, caption, sizeof caption);
    GetDlgItemTextA(box.window, 0xFFFF, text, sizeof text);
    boxes += std::string("[") + caption + "|" + text + "]";
    PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box.window, IDOK)));
    while (IsWindow(box.window) && GetTickCount() - start < 60000) Sleep(20);
  }
  DWORD exitCode = STILL_ACTIVE;
  GetExitCodeProcess(brovia.hProcess, &exitCode);
  if (exitCode == STILL_ACTIVE) TerminateProcess(brovia.hProcess, 1);
  CloseHandle(brovia.hThread);
  CloseHandle(brovia.hProcess);
  UnhookWindowsHookEx(hook);
  FreeLibrary(hookLibrary);

  EXPECT_EQ(exitCode, 0u) << boxes;
  EXPECT_EQ(boxes.rfind("[Brovia|Error creating window UiTrayIcon", 0), 0u) << boxes;
}

}  // namespace
