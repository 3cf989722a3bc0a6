#include "CallOLVEXClient.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>

#include "ClientCommand.h"
#include "SelectIDFrm.h"
#include "platform/ansi.h"
#include "uException.h"
#include "ui/Application.h"

namespace {

// A messenger that does not handle a message within this time counts as not answering, so a
// hung messenger cannot hold Intora forever.
const UINT SendTimeoutMs = 3000;

HWND ToWindow(unsigned handle) {
  return reinterpret_cast<HWND>(WindowHandleValue(handle));
}

// The window's answer to the number query; 0 when it does not answer in time.
int32_t AskNumber(HWND window) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, MSG_GET_NUMBER, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                           SendTimeoutMs, &result)) {
    return 0;
  }
  return static_cast<int32_t>(result);
}

void SendCommand(HWND window, const TClientCommand& command) {
  COPYDATASTRUCT data;
  data.dwData = 0;
  data.cbData = sizeof command;
  data.lpData = const_cast<TClientCommand*>(&command);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(window, WM_COPYDATA, reinterpret_cast<WPARAM>(window),
                      reinterpret_cast<LPARAM>(&data), SMTO_NORMAL | SMTO_ABORTIFHUNG,
                      SendTimeoutMs, &ignored);
}

}  // namespace

namespace {

BOOL CALLBACK CollectClientWindow(HWND w, LPARAM list) {
  if (GetPropA(w, ClientGUID) == reinterpret_cast<HANDLE>(1)) {
    reinterpret_cast<std::vector<std::string>*>(list)->push_back(
        WindowHandleText(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(w))));
  }
  return TRUE;
}

}  // namespace

std::vector<std::string> FindClientWindows() {
  // The top-level windows are taken as one list, in Z order: a walk from window to window
  // would end early when another program destroys the window it stands on, and the
  // messenger windows below it would be missed.
  std::vector<std::string> windows;
  EnumWindows(CollectClientWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

bool CheckClientRunning() {
  std::string path = GetAppPath() + "mupa.exe";
  HANDLE mutex = OpenMutexA(0x1F0001, FALSE, ClientGUID);
  if (mutex) {
    CloseHandle(mutex);
    return true;
  }
  if (MessageBoxA(nullptr, "木帕 还未启动，是否启动？", "提示", MB_YESNO | MB_ICONQUESTION) !=
      IDYES) {
    return false;
  }
  std::string quoted = "\"" + path + "\"";
  ShellExecuteA(nullptr, "open", quoted.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  ui::Application().ProcessMessages();
  Sleep(500);
  return true;
}

void SendOpenTalkForm(const std::u16string& FriendName, unsigned window) {
  SendCommand(ToWindow(window), MakeOpenTalkFormCommand(FriendName));
}

void SendOpenTalkFormToNumber(const std::u16string& FriendName, const std::string& Number) {
  for (const std::string& text : FindClientWindows()) {
    uint32_t h = WindowHandleFromText(text);
    if (h == 0) continue;
    if (NumberText(AskNumber(ToWindow(h))) == Number) {
      SendOpenTalkForm(FriendName, h);
      return;
    }
  }
}

void CallOpenTalkForm(const std::u16string& FriendName) {
  std::vector<std::string> windows = FindClientWindows();
  NumberList.clear();
  uint32_t answering = 0;
  for (const std::string& text : windows) {
    uint32_t h = WindowHandleFromText(text);
    if (h == 0) continue;
    int32_t n = AskNumber(ToWindow(h));
    if (n != 0) {
      NumberList.push_back(NumberText(n));
      answering = h;
    }
  }
  if (NumberList.size() >= 2) {
    CreateSelectIDForm(plat::WideToAnsi(FriendName));
  } else if (NumberList.size() == 1) {
    SendOpenTalkForm(FriendName, answering);
  }
}

void CallLogin(const std::u16string& LoginName, const std::u16string& Password) {
  if (!CheckClientRunning()) return;
  std::vector<std::string> windows = FindClientWindows();
  TClientCommand command = MakeLoginCommand(LoginName, Password);
  for (const std::string& text : windows) {
    uint32_t h = WindowHandleFromText(text);
    if (h != 0) SendCommand(ToWindow(h), command);
  }
}
