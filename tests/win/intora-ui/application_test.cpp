// The application's message loop ends when its main form closes, however the close comes.
#include <gtest/gtest.h>
#include <windows.h>

#include "ui/Application.h"
#include "ui/Forms.h"

namespace {

const UINT kRunInnerLoop = WM_APP + 1;

// A modal loop of the kind some system loops are: it ends on the quit message without
// putting it back for the loop around it.
void LoopUntilQuit() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

class LoopForm : public ui::TForm {
public:
  LoopForm() {
    BorderStyle = ui::TFormBorderStyle::bsNone;
    SetBounds(30, 30, 80, 40);
  }

protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kRunInnerLoop) {
      LoopUntilQuit();
      return 0;
    }
    return ui::TForm::WndProc(message, wParam, lParam);
  }
};

bool watchdogFired = false;

void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD) {
  watchdogFired = true;
  PostQuitMessage(0);
}

class ApplicationLoop : public ::testing::Test {
protected:
  void SetUp() override {
    ui::Application().Initialize();
    ui::Application().CreateForm(form);
    ASSERT_EQ(ui::Application().MainForm(), form);
  }
  void TearDown() override {
    ui::Application().DestroyForms();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  // Runs the application; a loop still running after a few seconds is ended from outside
  // and reported.
  void RunBounded() {
    watchdogFired = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 5000, Watchdog);
    ui::Application().Run();
    KillTimer(nullptr, timer);
    EXPECT_FALSE(watchdogFired) << "the loop went on after the main form had closed";
    EXPECT_TRUE(ui::Application().Terminated());
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
  }

  LoopForm* form = nullptr;
};

}  // namespace

TEST_F(ApplicationLoop, ClosingTheMainFormEndsRun) {
  PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
  RunBounded();
}

TEST_F(ApplicationLoop, MainFormClosedInsideALoopThatDropsTheQuitMessage) {
  PostMessageA(form->Handle(), kRunInnerLoop, 0, 0);
  PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
  RunBounded();
}

// The system's move loop (the "Move" of the window menu) ends on the quit message and drops
// it.
TEST_F(ApplicationLoop, MainFormClosedWhileMovedFromTheKeyboard) {
  PostMessageA(form->Handle(), WM_SYSCOMMAND, SC_MOVE, 0);
  PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
  RunBounded();
}
