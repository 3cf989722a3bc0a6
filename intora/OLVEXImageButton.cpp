#include "OLVEXImageButton.h"

#include "KwIMSkinManager.h"
#include "uException.h"

namespace {

// The caption colour of a disabled button.
constexpr ui::TColor kDisabledCaption = 0x008C867B;

// Runs body; an error of the general class is reported under the method's name and goes no
// further.
template <class Body>
void Guarded(const char* method, Body body) {
  try {
    body();
  } catch (const plat::Exception& e) {
    LogException(e, "UIControls", "OLVEXImageButton", method, "");
  }
}

ui::TBitmap& PictureOf(TKwSkinManager* skin) {
  if (!skin) throw plat::Exception("Access violation: no skin picture");
  return skin->Bitmap();
}

}  // namespace

TOLVEXImageButton::TOLVEXImageButton(ui::TComponent* AOwner) : ui::TCustomControl(AOwner) {
  Guarded("Create", [this] { Construct(); });
}

void TOLVEXImageButton::Construct() {
  SetDoubleBuffered(true);
  FBuffer = new ui::TBitmap();
  FIcon = new ui::TIcon();
  FDisabledIcon = new ui::TIcon();
  struct State {
    TKwSkinManager*& skin;
    const char* name;
  } states[] = {{FNormalSkin, "ImageButtonNormalBMP"},
                {FHoverSkin, "ImageButtonHoverBMP"},
                {FDownSkin, "ImageButtondownBMP"},
                {FDisabledSkin, "ImageButtondisabledBMP"},
                {FFocusedSkin, "ImageButtonFocusedBMP"}};
  if (!SkinManagers) throw plat::Exception("Access violation: no skin registry");
  for (State& s : states) {
    if (s.skin) continue;
    bool created = false;
    s.skin = SkinManagers->FindOrCreate(s.name, created);
    if (created) {
      if (HBITMAP picture = LoadBitmapA(GetModuleHandleA(nullptr), s.name))
        s.skin->Bitmap().SetHandle(picture);
    }
  }
  for (State& s : states) s.skin->AddClient(this);
}

TOLVEXImageButton::~TOLVEXImageButton() {
  Guarded("Destroy", [this] { Release(); });
}

void TOLVEXImageButton::Release() {
  ui::TBitmap* buffer = FBuffer;
  FBuffer = nullptr;
  delete buffer;
  ui::TIcon* disabledIcon = FDisabledIcon;
  FDisabledIcon = nullptr;
  delete disabledIcon;
  ui::TIcon* icon = FIcon;
  FIcon = nullptr;
  delete icon;
  // Once the registry is gone its managers are too; there is nothing left to leave.
  if (!SkinManagers) return;
  for (TKwSkinManager* skin : {FNormalSkin, FHoverSkin, FDownSkin, FDisabledSkin, FFocusedSkin})
    if (skin) skin->RemoveClient(this);
}

void TOLVEXImageButton::SetTransparent(bool Value) {
  FTransparent = Value;
  Invalidate();
}

void TOLVEXImageButton::SetIcon(const ui::TIcon& Value) {
  Guarded("SetIcon", [&] {
    if (!FIcon) throw plat::Exception("Access violation: no icon storage");
    FIcon->Assign(Value);
    Invalidate();
  });
}

void TOLVEXImageButton::SetDisabledIcon(const ui::TIcon& Value) {
  Guarded("SetDisabledIcon", [&] {
    if (!FDisabledIcon) throw plat::Exception("Access violation: no icon storage");
    FDisabledIcon->Assign(Value);
    Invalidate();
  });
}

void TOLVEXImageButton::DrawButton(ui::TBitmap& Picture) {
  Guarded("DrawButton", [&] {
    if (!FBuffer) throw plat::Exception("Access violation: no face buffer");
    HDC b = FBuffer->Canvas().Handle();
    HDC s = Picture.Canvas().Handle();
    const int bw = FBuffer->Width(), bh = FBuffer->Height();
    const int sw = Picture.Width(), sh = Picture.Height();
    const int c = 8;  // the corner size
    BitBlt(b, 0, 0, c, c, s, 0, 0, SRCCOPY);
    StretchBlt(b, c, 0, bw - 2 * c, c, s, c, 0, sw - 2 * c, c, SRCCOPY);
    BitBlt(b, bw - c, 0, c, c, s, sw - c, 0, SRCCOPY);
    StretchBlt(b, 0, c, c, bh - 2 * c, s, 0, c, c, sh - 2 * c, SRCCOPY);
    StretchBlt(b, c, c, bw - 2 * c, bh - 2 * c, s, c, c, sw - 2 * c, sh - 2 * c, SRCCOPY);
    StretchBlt(b, bw - c, c, c, bh - 2 * c, s, sw - c, c, c, sh - 2 * c, SRCCOPY);
    BitBlt(b, 0, bh - c, c, c, s, 0, sh - c, SRCCOPY);
    StretchBlt(b, c, bh - c, bw - 2 * c, c, s, c, sh - c, sw - 2 * c, c, SRCCOPY);
    BitBlt(b, bw - c, bh - c, c, c, s, sw - c, sh - c, SRCCOPY);
  });
}

void TOLVEXImageButton::Paint() {
  Guarded("Paint", [this] { DoPaint(); });
}

void TOLVEXImageButton::DoPaint() {
  if (!FBuffer) throw plat::Exception("Access violation: no face buffer");
  ui::TCanvas& canvas = Canvas();
  FBuffer->SetSize(ClientWidth(), ClientHeight());
  if (Enabled()) {
    canvas.Font().SetColor(ui::clWindowText);
    TKwSkinManager* face = FDown             ? FDownSkin
                           : MouseInControl() ? FHoverSkin
                           : Focused()        ? FFocusedSkin
                                              : FNormalSkin;
    DrawButton(PictureOf(face));
  } else {
    DrawButton(PictureOf(FDisabledSkin));
    canvas.Font().SetColor(kDisabledCaption);
  }
  BitBlt(canvas.Handle(), 0, 0, FBuffer->Width(), FBuffer->Height(), FBuffer->Canvas().Handle(),
         0, 0, SRCCOPY);
  RECT r = ClientRect();
  if (FDown) {
    r.left += 1;
    r.top += 1;
  }
  int dy = (ClientHeight() - canvas.TextHeight(Caption())) / 2;
  InflateRect(&r, -3, -dy);
  canvas.Brush().Style = ui::TBrushStyle::bsClear;
  canvas.DrawText(Caption(), r, DT_CENTER);
}

LRESULT TOLVEXImageButton::WMLButtonDown(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = ui::TCustomControl::WndProc(message, wParam, lParam);
  FDown = true;
  Invalidate();
  return result;
}

LRESULT TOLVEXImageButton::WMLButtonUp(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = ui::TCustomControl::WndProc(message, wParam, lParam);
  FDown = false;
  Invalidate();
  return result;
}

LRESULT TOLVEXImageButton::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN:
      return WMLButtonDown(message, wParam, lParam);
    case WM_LBUTTONUP:
      return WMLButtonUp(message, wParam, lParam);
  }
  return ui::TCustomControl::WndProc(message, wParam, lParam);
}

void TOLVEXImageButton::CMMouseEnter() {
  ui::TCustomControl::CMMouseEnter();
  Invalidate();
}

void TOLVEXImageButton::CMMouseLeave() {
  ui::TCustomControl::CMMouseLeave();
  FDown = false;
  Invalidate();
}

void TOLVEXImageButton::CMFocusChanged() {
  ui::TCustomControl::CMFocusChanged();
  Invalidate();
}

void TOLVEXImageButton::CMEnabledChanged() {
  ui::TCustomControl::CMEnabledChanged();
  Invalidate();
}

void TOLVEXImageButton::CMFontChanged() {
  ui::TCustomControl::CMFontChanged();
  Invalidate();
}

void TOLVEXImageButton::CMTextChanged() {
  ui::TCustomControl::CMTextChanged();
  Invalidate();
}

void TOLVEXImageButton::CMSysColorChange() {
  ui::TCustomControl::CMSysColorChange();
  Invalidate();
}
