#include "ui/Graphics.h"

namespace ui {

COLORREF ColorToRGB(TColor color) {
  if (color & clSystemColor) return GetSysColor(color & 0xFF);
  return static_cast<COLORREF>(color) & 0xFFFFFF;
}

// --- TFont ----------------------------------------------------------------------------

TFont::~TFont() {
  if (handle_) DeleteObject(handle_);
}

void TFont::Changed(bool shape) {
  if (shape && handle_) {
    DeleteObject(handle_);
    handle_ = nullptr;
  }
  if (OnChange) OnChange();
}

void TFont::SetName(const std::string& name) {
  if (name != name_) {
    name_ = name;
    Changed(true);
  }
}

void TFont::SetHeight(int height) {
  if (height != height_) {
    height_ = height;
    Changed(true);
  }
}

void TFont::SetColor(TColor color) {
  if (color != color_) {
    color_ = color;
    Changed(false);
  }
}

void TFont::SetBold(bool bold) {
  if (bold != bold_) {
    bold_ = bold;
    Changed(true);
  }
}

void TFont::Assign(const TFont& source) {
  if (&source == this) return;
  name_ = source.name_;
  height_ = source.height_;
  color_ = source.color_;
  bold_ = source.bold_;
  Changed(true);
}

HFONT TFont::Handle() {
  if (!handle_) {
    handle_ = CreateFontA(height_, 0, 0, 0, bold_ ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                          DEFAULT_QUALITY, DEFAULT_PITCH, name_.c_str());
  }
  return handle_;
}

// --- TCanvas --------------------------------------------------------------------------

TCanvas::~TCanvas() { Release(); }

void TCanvas::Release() {
  if (dc_ && oldFont_) SelectObject(dc_, oldFont_);
  oldFont_ = nullptr;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_) return;
  Release();
  dc_ = dc;
}

void TCanvas::PrepareText() {
  HGDIOBJ previous = SelectObject(dc_, font_.Handle());
  if (!oldFont_) oldFont_ = previous;
  SetTextColor(dc_, ColorToRGB(font_.Color()));
  if (brush_.Style == TBrushStyle::bsClear) {
    SetBkMode(dc_, TRANSPARENT);
  } else {
    SetBkMode(dc_, OPAQUE);
    SetBkColor(dc_, ColorToRGB(brush_.Color));
  }
}

void TCanvas::FillRect(const RECT& rect) {
  if (brush_.Style == TBrushStyle::bsClear) return;
  HBRUSH brush = CreateSolidBrush(ColorToRGB(brush_.Color));
  ::FillRect(dc_, &rect, brush);
  DeleteObject(brush);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  PrepareText();
  ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
}

int TCanvas::TextHeight(const std::string& text) {
  PrepareText();
  SIZE size = {0, 0};
  GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
  return size.cy;
}

int TCanvas::TextWidth(const std::string& text) {
  PrepareText();
  SIZE size = {0, 0};
  GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
  return size.cx;
}

int TCanvas::DrawText(const std::string& text, RECT& rect, UINT format) {
  PrepareText();
  return ::DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &rect, format);
}

void TCanvas::Draw(int x, int y, TGraphic& graphic) {
  RECT r = {x, y, x + graphic.Width(), y + graphic.Height()};
  graphic.Draw(*this, r);
}

void TCanvas::StretchDraw(const RECT& rect, TGraphic& graphic) { graphic.Draw(*this, rect); }

void TCanvas::DrawFocusRect(const RECT& rect) { ::DrawFocusRect(dc_, &rect); }

// --- TBitmap --------------------------------------------------------------------------

TBitmap::~TBitmap() {
  OnChange = nullptr;
  Release();
}

void TBitmap::Release() {
  if (canvas_) canvas_->SetHandle(nullptr);
  if (dc_) {
    SelectObject(dc_, oldBitmap_);
    DeleteDC(dc_);
    dc_ = nullptr;
  }
  if (handle_) DeleteObject(handle_);
  handle_ = nullptr;
  width_ = height_ = 0;
}

void TBitmap::SetHandle(HBITMAP bitmap) {
  if (bitmap == handle_) return;
  Release();
  handle_ = bitmap;
  if (bitmap) {
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    width_ = info.bmWidth;
    height_ = info.bmHeight;
  }
  Changed();
}

void TBitmap::SetSize(int width, int height) {
  if (handle_ && width == width_ && height == height_) return;
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  SetHandle(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
}

void TBitmap::Assign(const TBitmap& source) {
  if (&source == this) return;
  if (!source.handle_) {
    SetHandle(nullptr);
    return;
  }
  SetHandle(static_cast<HBITMAP>(CopyImage(source.handle_, IMAGE_BITMAP, 0, 0, 0)));
}

bool TBitmap::LoadFromResourceName(HINSTANCE instance, const char* name) {
  HBITMAP bitmap = LoadBitmapA(instance, name);
  if (bitmap) SetHandle(bitmap);
  return bitmap != nullptr;
}

TCanvas& TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>();
  if (!dc_ && handle_) {
    dc_ = CreateCompatibleDC(nullptr);
    oldBitmap_ = SelectObject(dc_, handle_);
  }
  canvas_->SetHandle(dc_);
  return *canvas_;
}

void TBitmap::Draw(TCanvas& canvas, const RECT& rect) {
  if (!handle_) return;
  HDC source = Canvas().Handle();
  StretchBlt(canvas.Handle(), rect.left, rect.top, rect.right - rect.left,
             rect.bottom - rect.top, source, 0, 0, width_, height_, SRCCOPY);
}

// --- TIcon ----------------------------------------------------------------------------

TIcon::~TIcon() {
  OnChange = nullptr;
  SetHandle(nullptr);
}

void TIcon::SetHandle(HICON icon) {
  if (icon == handle_) return;
  if (handle_) DestroyIcon(handle_);
  handle_ = icon;
  width_ = height_ = 0;
  if (icon) {
    ICONINFO info = {};
    if (GetIconInfo(icon, &info)) {
      BITMAP bm = {};
      GetObjectA(info.hbmMask, sizeof bm, &bm);
      width_ = bm.bmWidth;
      height_ = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
      if (info.hbmColor) DeleteObject(info.hbmColor);
      if (info.hbmMask) DeleteObject(info.hbmMask);
    }
  }
  Changed();
}

void TIcon::Assign(const TIcon& source) {
  if (&source == this) return;
  SetHandle(source.handle_ ? CopyIcon(source.handle_) : nullptr);
}

bool TIcon::LoadFromResourceName(HINSTANCE instance, const char* name, int size) {
  HICON icon = static_cast<HICON>(LoadImageA(instance, name, IMAGE_ICON, size, size, 0));
  if (icon) SetHandle(icon);
  return icon != nullptr;
}

void TIcon::Draw(TCanvas& canvas, const RECT& rect) {
  if (!handle_) return;
  DrawIconEx(canvas.Handle(), rect.left, rect.top, handle_, rect.right - rect.left,
             rect.bottom - rect.top, 0, nullptr, DI_NORMAL);
}

// --- TPicture -------------------------------------------------------------------------

// Holds the graphic from now on and passes its changes on.
void TPicture::Take(std::unique_ptr<TGraphic> graphic) {
  graphic->OnChange = [this] {
    if (OnChange) OnChange();
  };
  graphic_ = std::move(graphic);
}

TBitmap& TPicture::Bitmap() { return As<TBitmap>(); }
TIcon& TPicture::Icon() { return As<TIcon>(); }

}  // namespace ui
