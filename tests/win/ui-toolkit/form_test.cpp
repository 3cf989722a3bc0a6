// Forms: border styles changed at run time, window states, close actions, resize and show
// events, key preview, cancel mode and immediate repaints.
#include <gtest/gtest.h>
#include <windows.h>

#include "toolkit_fixture.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

namespace {

using uitest::FormTest;

RECT ClientOf(HWND w) {
  RECT r;
  GetClientRect(w, &r);
  return r;
}

RECT WindowOf(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return r;
}

}  // namespace

TEST_F(FormTest, BorderStyleChangesInPlaceAndKeepsTheBounds) {
  auto* fill = new ui::TPanel(form);
  fill->SetAlign(ui::TAlign::alClient);
  fill->SetParent(form);
  HWND window = form->Handle();
  EXPECT_EQ(ClientOf(window).right, 400);

  form->SetBorderStyle(ui::TFormBorderStyle::bsSizeable);
  EXPECT_EQ(form->Handle(), window) << "the same window, not a new one";
  LONG style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_FALSE(style & WS_POPUP);
  EXPECT_TRUE(style & WS_VISIBLE);
  RECT w = WindowOf(window);
  EXPECT_EQ(w.right - w.left, 400);
  EXPECT_EQ(w.bottom - w.top, 300);
  RECT c = ClientOf(window);
  EXPECT_LT(c.right, 400);
  EXPECT_LT(c.bottom, 300);
  EXPECT_EQ(form->ClientWidth(), c.right);
  EXPECT_EQ(fill->Width(), c.right) << "the client control follows the smaller client area";
  EXPECT_EQ(fill->Height(), c.bottom);

  form->SetBorderStyle(ui::TFormBorderStyle::bsSizeToolWin);
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_THICKFRAME);

  form->SetBorderStyle(ui::TFormBorderStyle::bsNone);
  style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME));
  EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(ClientOf(window).right, 400);
  EXPECT_EQ(fill->Width(), 400);
  EXPECT_EQ(fill->Height(), 300);
}

TEST_F(FormTest, WindowStateFollowsTheWindowAndWaitsForAHiddenOne) {
  form->SetBorderStyle(ui::TFormBorderStyle::bsSizeable);
  EXPECT_EQ(form->WindowState(), ui::TWindowState::wsNormal);
  form->SetWindowState(ui::TWindowState::wsMaximized);
  EXPECT_TRUE(IsZoomed(form->Handle()));
  EXPECT_EQ(form->WindowState(), ui::TWindowState::wsMaximized);
  form->SetWindowState(ui::TWindowState::wsNormal);
  EXPECT_FALSE(IsZoomed(form->Handle()));
  EXPECT_EQ(form->Width(), 400);

  // Minimised, the form keeps the bounds it had.
  form->SetWindowState(ui::TWindowState::wsMinimized);
  EXPECT_TRUE(IsIconic(form->Handle()));
  EXPECT_EQ(form->WindowState(), ui::TWindowState::wsMinimized);
  EXPECT_EQ(form->Width(), 400);
  EXPECT_EQ(form->Height(), 300);
  form->SetWindowState(ui::TWindowState::wsNormal);
  EXPECT_FALSE(IsIconic(form->Handle()));

  // A hidden form takes the state when it is shown.
  form->Hide();
  EXPECT_FALSE(form->Visible());
  form->SetWindowState(ui::TWindowState::wsMaximized);
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(form->WindowState(), ui::TWindowState::wsMaximized);
  form->Show();
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_TRUE(IsZoomed(form->Handle()));

  // Hidden while maximised and shown again: still maximised; told otherwise while hidden,
  // it comes back normal.
  form->Hide();
  EXPECT_EQ(form->WindowState(), ui::TWindowState::wsMaximized);
  form->Show();
  EXPECT_TRUE(IsZoomed(form->Handle()));
  form->Hide();
  form->SetWindowState(ui::TWindowState::wsNormal);
  EXPECT_EQ(form->WindowState(), ui::TWindowState::wsNormal);
  form->Show();
  EXPECT_FALSE(IsZoomed(form->Handle()));
  EXPECT_EQ(form->Width(), 400);
}

namespace {

class Watched : public ui::TForm {
public:
  explicit Watched(bool* freed) : freed_(freed) {}
  ~Watched() override { *freed_ = true; }

private:
  bool* freed_;
};

}  // namespace

TEST(FormClose, TheHandlersActionDecides) {
  bool freed = false;
  auto* form = new Watched(&freed);
  form->SetBounds(10, 10, 100, 80);
  form->Show();
  HWND window = form->Handle();
  int asked = 0;
  ui::TCloseAction answer = ui::TCloseAction::caNone;
  form->OnClose = [&](ui::TObject* sender, ui::TCloseAction& action) {
    EXPECT_EQ(sender, form);
    EXPECT_EQ(action, ui::TCloseAction::caHide) << "the default offered to the handler";
    ++asked;
    action = answer;
  };

  SendMessageA(window, WM_CLOSE, 0, 0);  // the system's close: Alt+F4, the system menu...
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(IsWindowVisible(window));

  answer = ui::TCloseAction::caHide;
  form->Close();
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(IsWindow(window));

  form->Show();
  answer = ui::TCloseAction::caFree;
  form->Close();
  EXPECT_FALSE(freed) << "freed only once its messages are handled";
  EXPECT_TRUE(uitest::PumpUntil([&] { return freed; }));
  EXPECT_FALSE(IsWindow(window));
}

TEST(FormClose, TheMainFormRefusingToCloseKeepsTheApplicationRunning) {
  ui::Application().Initialize();
  ui::TForm* form = nullptr;
  ui::Application().CreateForm(form);
  form->SetBounds(10, 10, 100, 80);
  form->OnClose = [&](ui::TObject*, ui::TCloseAction& action) {
    action = ui::TCloseAction::caNone;
    form->Hide();
  };
  form->Show();
  SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(ui::Application().Terminated());
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(ui::Application().MainForm(), form);

  form->OnClose = nullptr;
  form->Show();
  form->Close();
  EXPECT_TRUE(ui::Application().Terminated());
  ui::Application().DestroyForms();
  ui::Application().ProcessMessages();  // takes the quit message
}

TEST(FormEvents, ResizeAndShowAreReported) {
  ui::TForm form;
  int resized = 0, shown = 0;
  int widthSeen = 0;
  auto* fill = new ui::TPanel(&form);
  fill->SetAlign(ui::TAlign::alClient);
  fill->SetParent(&form);
  form.OnResize = [&](ui::TObject*) {
    ++resized;
    widthSeen = fill->Width();
  };
  form.OnShow = [&](ui::TObject*) {
    ++shown;
    EXPECT_FALSE(IsWindowVisible(form.Handle())) << "before the form becomes visible";
  };
  form.BorderStyle = ui::TFormBorderStyle::bsNone;
  form.SetBounds(0, 0, 200, 100);
  form.Show();
  EXPECT_EQ(shown, 1);
  int before = resized;
  form.SetBounds(0, 0, 300, 100);
  EXPECT_GT(resized, before);
  EXPECT_EQ(widthSeen, 300) << "the children are laid out before the event";
  before = resized;
  form.SetBounds(5, 5, 300, 100);  // a move only
  EXPECT_EQ(resized, before);
  form.Hide();
  form.Show();
  EXPECT_EQ(shown, 2);
}

TEST_F(FormTest, KeyPreviewSeesKeysOfInnerWindowsFirst) {
  auto* button = new ui::TButton(form);
  button->SetParent(form);
  button->SetFocus();
  std::vector<WORD> previewed;
  form->OnKeyDown = [&](ui::TObject*, WORD& key, ui::TShiftState) {
    previewed.push_back(key);
    if (key == VK_F11) key = 0;
  };
  int clicks = 0;
  button->OnClick = [&](ui::TObject*) { ++clicks; };

  // Without key preview the form's handler sees nothing.
  PostMessageA(button->Handle(), WM_KEYDOWN, VK_F10, 0);
  ui::Application().ProcessMessages();
  EXPECT_TRUE(previewed.empty());

  form->KeyPreview = true;
  PostMessageA(button->Handle(), WM_KEYDOWN, VK_F11, 0);
  ui::Application().ProcessMessages();
  ASSERT_EQ(previewed.size(), 1u);
  EXPECT_EQ(previewed[0], VK_F11);

  // A key the handler lets through reaches the button: space and its release click it.
  PostMessageA(button->Handle(), WM_KEYDOWN, VK_SPACE, 0);
  PostMessageA(button->Handle(), WM_KEYUP, VK_SPACE, 0xC0000000);
  ui::Application().ProcessMessages();
  EXPECT_EQ(previewed.size(), 2u);
  EXPECT_EQ(clicks, 1);

  // A swallowed space never reaches the button.
  form->OnKeyDown = [&](ui::TObject*, WORD& key, ui::TShiftState) { key = 0; };
  PostMessageA(button->Handle(), WM_KEYDOWN, VK_SPACE, 0);
  PostMessageA(button->Handle(), WM_KEYUP, VK_SPACE, 0xC0000000);
  ui::Application().ProcessMessages();
  EXPECT_EQ(clicks, 1);
}

namespace {

class Counting : public ui::TCustomControl {
public:
  using ui::TCustomControl::TCustomControl;
  int paints = 0;

protected:
  void Paint() override { ++paints; }
};

}  // namespace

TEST_F(FormTest, RepaintDrawsAtOnceAndCancelModeEndsACapture) {
  auto* control = new Counting(form);
  control->SetBounds(0, 0, 50, 50);
  control->SetParent(form);
  uitest::Pump(50);
  int before = control->paints;
  control->Invalidate();
  EXPECT_EQ(control->paints, before) << "invalidating alone paints later";
  control->Repaint();
  EXPECT_EQ(control->paints, before + 1);
  form->Repaint();
  EXPECT_GE(control->paints, before + 1);

  SetCapture(control->Handle());
  ASSERT_EQ(GetCapture(), control->Handle());
  form->SendCancelMode();
  EXPECT_EQ(GetCapture(), nullptr);
}
