// Finding the messenger windows while other programs create and destroy top-level windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "CallOLVEXClient.h"
#include "ClientCommand.h"

namespace {

const char kClass[] = "IntoraClientWindowsTest";

void RegisterTestClass() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kClass;
  RegisterClassA(&wc);
}

HWND NewTopLevel() {
  return CreateWindowExA(0, kClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

HWND NewClientWindow(intptr_t prop) {
  HWND w = NewTopLevel();
  SetPropA(w, ClientGUID, reinterpret_cast<HANDLE>(prop));
  return w;
}

std::string TextOf(HWND w) {
  return WindowHandleText(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(w)));
}

}  // namespace

// Windows created above the messengers' and destroyed while the list is walked must not hide
// the messengers: a walk that stops at a vanished window loses the user's choice.
TEST(ClientWindows, FoundWhileOtherWindowsComeAndGo) {
  RegisterTestClass();
  HWND lower = NewClientWindow(1);
  HWND upper = NewClientWindow(1);
  HWND other = NewClientWindow(2);  // a different property value is no messenger
  ASSERT_TRUE(lower && upper && other);
  const std::vector<std::string> expected = {TextOf(upper), TextOf(lower)};

  std::atomic<bool> stop{false};
  std::atomic<long> churned{0};
  // Top-level windows of another thread, each created on top of the Z order and destroyed
  // at once, as other programs' windows are.
  std::thread churn([&] {
    while (!stop) {
      HWND w[8];
      for (HWND& h : w) h = NewTopLevel();
      for (HWND h : w) DestroyWindow(h);
      ++churned;
    }
  });

  int wrong = 0;
  const DWORD start = GetTickCount();
  int walks = 0;
  for (; walks < 2000 && GetTickCount() - start < 2000; ++walks) {
    std::vector<std::string> found = FindClientWindows();
    // The churning windows carry no property, so exactly the two messengers are found,
    // topmost first.
    if (found != expected) ++wrong;
  }
  stop = true;
  churn.join();

  EXPECT_GT(churned.load(), 0);
  EXPECT_GT(walks, 100);
  EXPECT_EQ(wrong, 0) << "of " << walks << " walks";
  DestroyWindow(other);
  DestroyWindow(upper);
  DestroyWindow(lower);
}
