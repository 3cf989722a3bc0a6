// A push button that draws its face from five shared state pictures, nine-sliced to its size,
// with its caption centred over the face.
#pragma once
#include "ui/Controls.h"

class TKwSkinManager;

class TOLVEXImageButton : public ui::TCustomControl {
public:
  explicit TOLVEXImageButton(ui::TComponent* AOwner);
  ~TOLVEXImageButton() override;

  // Stored only: none of them changes the drawing.
  ui::TColor DisabledColor = ui::clBlack;
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  const ui::TIcon* Icon() const { return FIcon; }
  const ui::TIcon* DisabledIcon() const { return FDisabledIcon; }
  void SetIcon(const ui::TIcon& Value);
  void SetDisabledIcon(const ui::TIcon& Value);

  // Draws a state picture nine-sliced into the face buffer.
  void DrawButton(ui::TBitmap& Picture);
  // The face as last painted (null when construction failed before making it).
  ui::TBitmap* Buffer() const { return FBuffer; }
  bool IsDown() const { return FDown; }

  void CMMouseEnter() override;
  void CMMouseLeave() override;
  void CMFocusChanged() override;
  void CMEnabledChanged() override;
  void CMFontChanged() override;
  void CMTextChanged() override;
  void CMSysColorChange() override;

protected:
  void Paint() override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  void Construct();
  void Release();
  LRESULT WMLButtonDown(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT WMLButtonUp(UINT message, WPARAM wParam, LPARAM lParam);
  void DoPaint();

  ui::TBitmap* FBuffer = nullptr;
  ui::TIcon* FIcon = nullptr;
  ui::TIcon* FDisabledIcon = nullptr;
  bool FDown = false;
  bool FTransparent = false;
  TKwSkinManager* FNormalSkin = nullptr;
  TKwSkinManager* FHoverSkin = nullptr;
  TKwSkinManager* FDownSkin = nullptr;
  TKwSkinManager* FDisabledSkin = nullptr;
  TKwSkinManager* FFocusedSkin = nullptr;
};
