// Top-level windows.
#pragma once
#include "ui/Controls.h"

namespace ui {

// bsSizeToolWin is a sizeable window with the small caption of a tool window.
enum class TFormBorderStyle { bsNone, bsSizeable, bsSizeToolWin };
enum class TPosition { poDesigned, poDesktopCenter };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
// What closing a form does: nothing, hide it, or free it once its messages are handled.
enum class TCloseAction { caNone, caHide, caFree };
constexpr unsigned biSystemMenu = 1, biMinimize = 2, biMaximize = 4;

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
// key set to 0 by the handler: the key goes no further.
using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState shift)>;

class TForm : public TWinControl {
public:
  TForm();
  ~TForm() override;

  void Show();
  void Hide();
  void SetVisible(bool visible) override;  // Show or Hide
  // Asks OnClose (caHide unless the handler says otherwise); then hides or frees the form.
  // A close of the main form that is not refused ends the application.
  void Close();
  // Frees the form after the messages already waiting for it have been handled.
  void Release();
  void SetClientSize(int width, int height);
  int ClientWidth() const override;
  int ClientHeight() const override;

  // Set BorderStyle directly only before the window exists; SetBorderStyle changes the frame
  // of an existing window in place and keeps its bounds.
  TFormBorderStyle BorderStyle = TFormBorderStyle::bsSizeable;
  void SetBorderStyle(TFormBorderStyle style);
  TWindowState WindowState() const;
  // A hidden form keeps the state it had and takes it again, or the one set meanwhile,
  // when it is shown.
  void SetWindowState(TWindowState state);
  // Ends a mouse capture or other mode in progress in the form's windows.
  void SendCancelMode();

  unsigned BorderIcons = biSystemMenu | biMinimize | biMaximize;
  TPosition Position = TPosition::poDesigned;
  bool TransparentColor = false;  // pixels of TransparentColorValue are see-through
  TColor TransparentColorValue = clFuchsia;
  // OnKeyDown sees the keys of every window inside the form before that window does.
  bool KeyPreview = false;
  TIcon& Icon() { return icon_; }

  // The form's constructor calls DoCreate when it is set up; an exception escaping the
  // handler goes to the application's error box and the form is kept.
  TNotifyEvent OnCreate;
  TNotifyEvent OnResize;  // after every change of the window's size
  TNotifyEvent OnShow;    // the form is about to become visible
  TCloseEvent OnClose;
  TKeyEvent OnKeyDown;

  // The application's loop offers a key message here first when KeyPreview is on; true when
  // the handler swallowed the key.
  bool PreviewKey(MSG& msg);

protected:
  void DoCreate();
  void CreateParams(TCreateParams& params) override;
  void WindowCreated() override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void EraseBackground(HDC dc) override;

private:
  TIcon icon_;
  TWindowState windowState_ = TWindowState::wsNormal;  // the state while hidden
};

// The form that holds a control.
TForm* GetParentForm(TControl* control);

}  // namespace ui
