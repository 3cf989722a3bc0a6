// Drawing: colours, fonts, brushes, a canvas over a device context, bitmaps, icons and the
// picture holder.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace ui {

// A colour: an RGB value 0x00BBGGRR, or a system colour as clSystemColor | COLOR_* index.
using TColor = std::int32_t;
constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000u);
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;

COLORREF ColorToRGB(TColor color);

using TNotifyChange = std::function<void()>;

class TFont {
public:
  TFont() = default;
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;
  ~TFont();

  const std::string& Name() const { return name_; }
  int Height() const { return height_; }
  TColor Color() const { return color_; }
  bool Bold() const { return bold_; }
  void SetName(const std::string& name);
  void SetHeight(int height);
  void SetColor(TColor color);
  void SetBold(bool bold);
  void Assign(const TFont& source);

  HFONT Handle();  // made on first use and after every change but a colour change

  TNotifyChange OnChange;

private:
  void Changed(bool shape);

  std::string name_ = "Tahoma";  // the default user-interface font, 8 points at 96 dpi
  int height_ = -11;
  TColor color_ = clWindowText;
  bool bold_ = false;
  HFONT handle_ = nullptr;
};

enum class TBrushStyle { bsSolid, bsClear };

struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = TBrushStyle::bsSolid;
};

class TGraphic;

// Draws on a device context it does not own.
class TCanvas {
public:
  TCanvas() = default;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;
  ~TCanvas();

  HDC Handle() const { return dc_; }
  void SetHandle(HDC dc);  // selects nothing until the canvas draws; restores on change

  TFont& Font() { return font_; }
  TBrush& Brush() { return brush_; }

  void FillRect(const RECT& rect);
  void TextOut(int x, int y, const std::string& text);
  int TextHeight(const std::string& text);
  int TextWidth(const std::string& text);
  int DrawText(const std::string& text, RECT& rect, UINT format);
  void Draw(int x, int y, TGraphic& graphic);
  void StretchDraw(const RECT& rect, TGraphic& graphic);
  void DrawFocusRect(const RECT& rect);
  COLORREF Pixel(int x, int y) const { return GetPixel(dc_, x, y); }

private:
  void PrepareText();
  void Release();

  HDC dc_ = nullptr;
  HGDIOBJ oldFont_ = nullptr;
  TFont font_;
  TBrush brush_;
};

// A picture that can draw itself into a rectangle.
class TGraphic {
public:
  virtual ~TGraphic() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool Empty() const = 0;
  virtual void Draw(TCanvas& canvas, const RECT& rect) = 0;  // stretched to rect

  TNotifyChange OnChange;

protected:
  void Changed() {
    if (OnChange) OnChange();
  }
};

class TBitmap : public TGraphic {
public:
  TBitmap() = default;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;
  ~TBitmap() override;

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool Empty() const override { return handle_ == nullptr; }
  void Draw(TCanvas& canvas, const RECT& rect) override;

  HBITMAP Handle() const { return handle_; }
  void SetHandle(HBITMAP bitmap);  // takes ownership; a change
  void SetSize(int width, int height);  // a 24-bit picture; nothing when the size is the same
  void Assign(const TBitmap& source);   // copies the picture; a change
  bool LoadFromResourceName(HINSTANCE instance, const char* name);
  TCanvas& Canvas();  // draws into the picture

private:
  void Release();

  HBITMAP handle_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  HDC dc_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  std::unique_ptr<TCanvas> canvas_;
};

class TIcon : public TGraphic {
public:
  TIcon() = default;
  TIcon(const TIcon&) = delete;
  TIcon& operator=(const TIcon&) = delete;
  ~TIcon() override;

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool Empty() const override { return handle_ == nullptr; }
  void Draw(TCanvas& canvas, const RECT& rect) override;

  HICON Handle() const { return handle_; }
  void SetHandle(HICON icon);      // takes ownership; a change
  void Assign(const TIcon& source);  // a copy of the picture; a change
  bool LoadFromResourceName(HINSTANCE instance, const char* name, int size = 16);

private:
  HICON handle_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

class TJPEGImage;
class TGIFImage;

// Holds one graphic: bitmap, icon, JPEG or GIF picture.
class TPicture {
public:
  TGraphic* Graphic() const { return graphic_.get(); }
  TBitmap& Bitmap();  // the picture as a bitmap, replacing any other kind
  TIcon& Icon();      // the picture as an icon, replacing any other kind
  // The JPEG and GIF kinds (ui/Pictures.h) and the loading from files live in the library
  // platform_ui_pictures.
  TJPEGImage& JPEG();  // the picture as a JPEG picture, replacing any other kind
  TGIFImage& GIF();    // the picture as a GIF picture, replacing any other kind
  // Loads a JPEG or GIF picture, chosen by the file's first bytes, or by its extension
  // (".jpg", ".jpeg", ".jpe", ".gif", any case) when they tell neither. Throws plat::Exception for a file that
  // cannot be read, of no known kind, or that its kind cannot decode; the picture then stays.
  void LoadFromFile(const std::string& fileName);
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }

  TNotifyChange OnChange;

private:
  template <class T>
  T& As() {
    if (T* existing = dynamic_cast<T*>(graphic_.get())) return *existing;
    Take(std::make_unique<T>());
    return static_cast<T&>(*graphic_);
  }
  void Take(std::unique_ptr<TGraphic> graphic);
  std::unique_ptr<TGraphic> graphic_;
};

}  // namespace ui
