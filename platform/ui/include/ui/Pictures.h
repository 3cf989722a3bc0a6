// JPEG and GIF pictures (library platform_ui_pictures).
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/Graphics.h"

namespace ui {

// A JPEG picture, decoded once into a 24-bit device-independent bitmap that it draws.
// Loading failures (no such file, no JPEG picture, damaged header) throw plat::Exception and
// leave the picture as it was.
class TJPEGImage : public TGraphic {
public:
  TJPEGImage();
  ~TJPEGImage() override;

  int Width() const override { return bitmap_.Width(); }
  int Height() const override { return bitmap_.Height(); }
  bool Empty() const override { return bitmap_.Empty(); }
  void Draw(TCanvas& canvas, const RECT& rect) override;

  void LoadFromFile(const std::string& fileName);  // an ANSI path
  void LoadFromBytes(const void* data, std::size_t size);
  void LoadFromResourceName(HINSTANCE instance, const char* name);  // an RCDATA resource
  const TBitmap& Bitmap() const { return bitmap_; }

private:
  TBitmap bitmap_;
};

// A GIF picture, animated or not, decoded through the Windows Imaging Component into one
// full picture per frame (each frame drawn over what the previous frames' disposal left).
// With Animate on, a timer of the thread's message loop moves to the next frame after each
// frame's delay and reports a change, so an image showing it repaints. Loading failures throw
// plat::Exception and leave the picture as it was.
class TGIFImage : public TGraphic {
public:
  TGIFImage();
  ~TGIFImage() override;

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool Empty() const override { return frames_.empty(); }
  void Draw(TCanvas& canvas, const RECT& rect) override;  // transparent pixels left as they are

  void LoadFromFile(const std::string& fileName);  // an ANSI path
  void LoadFromBytes(const void* data, std::size_t size);
  void LoadFromResourceName(HINSTANCE instance, const char* name);  // an RCDATA resource

  int FrameCount() const { return static_cast<int>(frames_.size()); }
  int FrameIndex() const { return frame_; }
  void SetFrameIndex(int index);   // shows that frame; a change
  int FrameDelay(int index) const;  // milliseconds the frame stays before the next
  bool Animate() const { return animate_; }
  void SetAnimate(bool on);  // nothing to animate with fewer than two frames
  // The frame's pixels, 32 bits each (blue, green, red, alpha premultiplied), rows from the top.
  const std::uint32_t* FramePixels(int index) const;

private:
  struct Frame;
  void Clear();
  void ScheduleNext();
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD);

  std::vector<std::unique_ptr<Frame>> frames_;
  int width_ = 0;
  int height_ = 0;
  int frame_ = 0;
  bool animate_ = false;
  UINT_PTR timer_ = 0;
};

}  // namespace ui
