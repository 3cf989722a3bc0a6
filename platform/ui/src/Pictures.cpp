#include "platform/except.h"
#include "ui/Graphics.h"

namespace ui {

struct TGIFImage::Frame {};

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() { OnChange = nullptr; }
void TJPEGImage::Draw(TCanvas& canvas, const RECT& rect) { bitmap_.Draw(canvas, rect); }
void TJPEGImage::LoadFromFile(const std::string&) { throw plat::Exception("not yet"); }
void TJPEGImage::LoadFromBytes(const void*, std::size_t) { throw plat::Exception("not yet"); }
void TJPEGImage::LoadFromResourceName(HINSTANCE, const char*) { throw plat::Exception("not yet"); }

TGIFImage::TGIFImage() = default;
TGIFImage::~TGIFImage() { OnChange = nullptr; }
void TGIFImage::Draw(TCanvas&, const RECT&) {}
void TGIFImage::LoadFromFile(const std::string&) { throw plat::Exception("not yet"); }
void TGIFImage::LoadFromBytes(const void*, std::size_t) { throw plat::Exception("not yet"); }
void TGIFImage::LoadFromResourceName(HINSTANCE, const char*) { throw plat::Exception("not yet"); }
void TGIFImage::SetFrameIndex(int) {}
int TGIFImage::FrameDelay(int) const { return 0; }
void TGIFImage::SetAnimate(bool on) { animate_ = on; }
const std::uint32_t* TGIFImage::FramePixels(int) const { return nullptr; }
void TGIFImage::Clear() {}
void TGIFImage::ScheduleNext() {}
void CALLBACK TGIFImage::TimerProc(HWND, UINT, UINT_PTR, DWORD) {}

}  // namespace ui
