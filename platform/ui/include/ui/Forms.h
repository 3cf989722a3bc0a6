// Top-level windows.
#pragma once
#include "ui/Controls.h"

namespace ui {

enum class TFormBorderStyle { bsNone, bsSizeable };
enum class TPosition { poDesigned, poDesktopCenter };
constexpr unsigned biSystemMenu = 1, biMinimize = 2, biMaximize = 4;

class TForm : public TWinControl {
public:
  TForm();
  ~TForm() override;

  void Show();
  void Close();  // hides the form; closing the main form ends the application
  void SetClientSize(int width, int height);
  int ClientWidth() const override;
  int ClientHeight() const override;

  TFormBorderStyle BorderStyle = TFormBorderStyle::bsSizeable;
  unsigned BorderIcons = biSystemMenu | biMinimize | biMaximize;
  TPosition Position = TPosition::poDesigned;
  bool TransparentColor = false;  // pixels of TransparentColorValue are see-through
  TColor TransparentColorValue = clFuchsia;
  TIcon& Icon() { return icon_; }

  TNotifyEvent OnCreate;  // the form's constructor calls DoCreate when it is set up

protected:
  void DoCreate();
  void CreateParams(TCreateParams& params) override;
  void WindowCreated() override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void EraseBackground(HDC dc) override;

private:
  TIcon icon_;
};

// The form that holds a control.
TForm* GetParentForm(TControl* control);

}  // namespace ui
