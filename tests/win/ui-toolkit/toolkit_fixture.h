// A shown borderless form to put controls on, and helpers that pump messages with a bound.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "ui/Application.h"
#include "ui/Forms.h"

namespace uitest {

// Handles messages until done() or until ms have passed; true when done() came true.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms = 3000) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

inline void Pump(DWORD ms) { PumpUntil([] { return false; }, ms); }

// Handles what is waiting (paints included, which are never simply taken off the queue).
inline void Drain() {
  MSG msg;
  for (int i = 0; i < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

inline std::string ClassOf(HWND w) {
  char name[64] = "";
  GetClassNameA(w, name, sizeof name);
  return name;
}

// One borderless form shown for the whole suite (showing and hiding a window costs Wine
// seconds); each test gets it back at its first bounds and without controls or handlers.
class FormTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    shared = new ui::TForm();
    shared->BorderStyle = ui::TFormBorderStyle::bsNone;
  }
  static void TearDownTestSuite() {
    delete shared;
    shared = nullptr;
  }
  void SetUp() override {
    form = shared;
    form->SetBorderStyle(ui::TFormBorderStyle::bsNone);
    form->SetBounds(20, 20, 400, 300);
    form->Show();
  }
  void TearDown() override {
    while (!form->Components().empty()) delete form->Components().back();
    form->KeyPreview = false;
    form->OnKeyDown = nullptr;
    form->OnResize = nullptr;
    form->SetWindowState(ui::TWindowState::wsNormal);
    Drain();
  }
  static inline ui::TForm* shared = nullptr;
  ui::TForm* form = nullptr;
};

}  // namespace uitest
