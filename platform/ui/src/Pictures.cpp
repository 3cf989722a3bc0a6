// JPEG pictures (libjpeg through platform/jpeg.h) and GIF pictures (Windows Imaging
// Component), and the picture holder's loading by file.
#include <wincodec.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/ansifile.h"
#include "platform/except.h"
#include "platform/jpeg.h"
#include "ui/Pictures.h"

namespace ui {

namespace {

std::string ReadPictureFile(const std::string& fileName) {
  std::string bytes;
  if (!plat::ReadAnsiFile(fileName, bytes))
    throw plat::Exception("Cannot open file \"" + fileName + "\"");
  return bytes;
}

// The bytes of an RCDATA resource; they live as long as the module.
std::pair<const void*, std::size_t> ResourceBytes(HINSTANCE instance, const char* name) {
  HRSRC info = FindResourceA(instance, name, reinterpret_cast<LPCSTR>(RT_RCDATA));
  HGLOBAL data = info ? LoadResource(instance, info) : nullptr;
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes) {
    std::string text = IS_INTRESOURCE(name) ? plat::Format("#%u", static_cast<unsigned>(
                                                  reinterpret_cast<UINT_PTR>(name)))
                                            : std::string(name);
    throw plat::Exception("Resource " + text + " not found");
  }
  return {bytes, SizeofResource(instance, info)};
}

// A device-independent section of the given depth, rows from the top; bits receives its memory.
HBITMAP CreateTopDownDib(int width, int height, int bitCount, void** bits) {
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = static_cast<WORD>(bitCount);
  bi.bmiHeader.biCompression = BI_RGB;
  HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, bits, nullptr, 0);
  if (!dib) throw plat::Exception(plat::Format("Cannot create a %d x %d picture", width, height));
  return dib;
}

}  // namespace

// --- TJPEGImage -----------------------------------------------------------------------

TJPEGImage::TJPEGImage() = default;

TJPEGImage::~TJPEGImage() { OnChange = nullptr; }

void TJPEGImage::Draw(TCanvas& canvas, const RECT& rect) { bitmap_.Draw(canvas, rect); }

void TJPEGImage::LoadFromFile(const std::string& fileName) {
  const std::string bytes = ReadPictureFile(fileName);
  LoadFromBytes(bytes.data(), bytes.size());
}

void TJPEGImage::LoadFromResourceName(HINSTANCE instance, const char* name) {
  auto bytes = ResourceBytes(instance, name);
  LoadFromBytes(bytes.first, bytes.second);
}

void TJPEGImage::LoadFromBytes(const void* data, std::size_t size) {
  plat::JpegPicture picture = plat::DecodeJpeg(data, size);
  void* bits = nullptr;
  HBITMAP dib = CreateTopDownDib(picture.Width, picture.Height, 24, &bits);
  const std::size_t row = static_cast<std::size_t>(picture.Width) * 3;
  const std::size_t stride = (row + 3) & ~static_cast<std::size_t>(3);  // rows of whole DWORDs
  for (int y = 0; y < picture.Height; ++y)
    std::memcpy(static_cast<std::uint8_t*>(bits) + y * stride, picture.Pixels.data() + y * row, row);
  bitmap_.SetHandle(dib);
  Changed();
}

// --- TGIFImage ------------------------------------------------------------------------

struct TGIFImage::Frame {
  std::vector<std::uint32_t> Pixels;  // the whole picture after this frame, PBGRA
  int DelayMs = 0;
  HBITMAP Dib = nullptr;  // made on first drawing
  ~Frame() {
    if (Dib) DeleteObject(Dib);
  }
};

namespace {

// The running animations by timer id (thread timers carry no window to find them by).
std::map<UINT_PTR, TGIFImage*>& Animations() {
  static std::map<UINT_PTR, TGIFImage*> map;
  return map;
}

// A frame shorter than this is shown for kShortFrameMs, as browsers do: many files ask for no
// delay at all and expect a visible animation.
constexpr int kMinFrameMs = 20;
// Every frame is kept as a whole picture; more pixels than this over all frames are refused.
constexpr std::uint64_t kMaxGifPixels = 1u << 25;
constexpr int kShortFrameMs = 100;

template <class T>
struct ComPtr {
  T* p = nullptr;
  ~ComPtr() {
    if (p) p->Release();
  }
  T** operator&() { return &p; }
  T* operator->() const { return p; }
};

void Check(HRESULT hr, const char* what) {
  if (FAILED(hr))
    throw plat::Exception(plat::Format("GIF error: %s (0x%08lX)", what, static_cast<unsigned long>(hr)));
}

// An unsigned number of a frame's or the file's metadata; fallback when it is missing.
unsigned MetadataNumber(IWICMetadataQueryReader* reader, const wchar_t* name, unsigned fallback) {
  if (!reader) return fallback;
  PROPVARIANT value;
  PropVariantInit(&value);
  unsigned result = fallback;
  if (SUCCEEDED(reader->GetMetadataByName(name, &value))) {
    switch (value.vt) {
      case VT_UI1: result = value.bVal; break;
      case VT_UI2: result = value.uiVal; break;
      case VT_UI4: result = value.ulVal; break;
      default: break;
    }
  }
  PropVariantClear(&value);
  return result;
}

// COM for the length of one decoding, when the thread has not set it up itself.
struct ComScope {
  bool mine;
  ComScope() : mine(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (mine) CoUninitialize();
  }
};

}  // namespace

TGIFImage::TGIFImage() = default;

TGIFImage::~TGIFImage() {
  OnChange = nullptr;
  Clear();
}

void TGIFImage::Clear() {
  if (timer_) {
    KillTimer(nullptr, timer_);
    Animations().erase(timer_);
    timer_ = 0;
  }
  frames_.clear();
  width_ = height_ = frame_ = 0;
}

void TGIFImage::LoadFromFile(const std::string& fileName) {
  const std::string bytes = ReadPictureFile(fileName);
  LoadFromBytes(bytes.data(), bytes.size());
}

void TGIFImage::LoadFromResourceName(HINSTANCE instance, const char* name) {
  auto bytes = ResourceBytes(instance, name);
  LoadFromBytes(bytes.first, bytes.second);
}

void TGIFImage::LoadFromBytes(const void* data, std::size_t size) {
  if (!data || size < 6 || (std::memcmp(data, "GIF87a", 6) != 0 && std::memcmp(data, "GIF89a", 6) != 0))
    throw plat::Exception("GIF error: Not a GIF file");
  if (size > 0x7FFFFFFF) throw plat::Exception("GIF error: File too large");
  std::vector<BYTE> copy(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);

  std::vector<std::unique_ptr<Frame>> frames;
  unsigned width = 0, height = 0;
  {
    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                           IID_IWICImagingFactory, reinterpret_cast<void**>(&factory)),
          "No imaging component");
    ComPtr<IWICStream> stream;
    Check(factory->CreateStream(&stream), "No stream");
    Check(stream->InitializeFromMemory(copy.data(), static_cast<DWORD>(copy.size())), "No stream");
    ComPtr<IWICBitmapDecoder> decoder;
    Check(factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnLoad, &decoder),
          "Cannot read the file");
    GUID container = {};
    Check(decoder->GetContainerFormat(&container), "Cannot read the file");
    if (container != GUID_ContainerFormatGif) throw plat::Exception("GIF error: Not a GIF file");
    UINT count = 0;
    Check(decoder->GetFrameCount(&count), "Cannot read the frames");
    if (count == 0) throw plat::Exception("GIF error: No frames");

    ComPtr<IWICMetadataQueryReader> fileInfo;
    decoder->GetMetadataQueryReader(&fileInfo);  // may be missing: the first frame's size then
    width = MetadataNumber(fileInfo.p, L"/logscrdesc/Width", 0);
    height = MetadataNumber(fileInfo.p, L"/logscrdesc/Height", 0);

    std::vector<std::uint32_t> canvas, saved;
    RECT lastRect = {};
    unsigned lastDisposal = 0;
    for (UINT i = 0; i < count; ++i) {
      ComPtr<IWICBitmapFrameDecode> frame;
      Check(decoder->GetFrame(i, &frame), "Cannot read a frame");
      UINT fw = 0, fh = 0;
      Check(frame->GetSize(&fw, &fh), "Cannot read a frame");
      ComPtr<IWICMetadataQueryReader> info;
      frame->GetMetadataQueryReader(&info);
      const unsigned left = MetadataNumber(info.p, L"/imgdesc/Left", 0);
      const unsigned top = MetadataNumber(info.p, L"/imgdesc/Top", 0);
      const unsigned delayCs = MetadataNumber(info.p, L"/grctlext/Delay", 0);
      const unsigned disposal = MetadataNumber(info.p, L"/grctlext/Disposal", 0);
      if (i == 0) {
        if (width == 0 || height == 0) width = left + fw, height = top + fh;
        // Every frame is kept whole: refuse what would not fit in memory.
        const std::uint64_t pixels = static_cast<std::uint64_t>(width) * height * count;
        if (pixels == 0 || pixels > kMaxGifPixels)
          throw plat::Exception(plat::Format("GIF error: Picture too large (%u x %u, %u frames)",
                                             width, height, count));
        canvas.assign(static_cast<std::size_t>(width) * height, 0);
      }

      // What the previous frame asked to leave behind it.
      if (lastDisposal == 2) {
        for (LONG y = lastRect.top; y < lastRect.bottom; ++y)
          std::fill(canvas.begin() + y * width + lastRect.left,
                    canvas.begin() + y * width + lastRect.right, 0u);
      } else if (lastDisposal == 3 && !saved.empty()) {
        canvas = saved;
      }
      if (disposal == 3) saved = canvas;

      if (static_cast<std::uint64_t>(fw) * fh > kMaxGifPixels)
        throw plat::Exception(plat::Format("GIF error: Frame too large (%u x %u)", fw, fh));
      std::vector<std::uint32_t> pixels(static_cast<std::size_t>(fw) * fh);
      if (!pixels.empty()) {
        ComPtr<IWICBitmapSource> converted;
        Check(WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, frame.p, &converted),
              "Cannot convert a frame");
        Check(converted->CopyPixels(nullptr, fw * 4, static_cast<UINT>(pixels.size() * 4),
                                    reinterpret_cast<BYTE*>(pixels.data())),
              "Cannot read a frame's pixels");
      }
      // The frame's rectangle, clipped to the picture; transparent pixels leave what is below.
      RECT r = {static_cast<LONG>(std::min(left, width)), static_cast<LONG>(std::min(top, height)),
                static_cast<LONG>(std::min<std::uint64_t>(std::uint64_t(left) + fw, width)),
                static_cast<LONG>(std::min<std::uint64_t>(std::uint64_t(top) + fh, height))};
      for (LONG y = r.top; y < r.bottom; ++y)
        for (LONG x = r.left; x < r.right; ++x) {
          std::uint32_t p = pixels[(y - top) * fw + (x - left)];
          if (p >> 24) canvas[y * width + x] = p;
        }
      lastRect = r;
      lastDisposal = disposal;

      auto composed = std::make_unique<Frame>();
      composed->Pixels = canvas;
      const int ms = static_cast<int>(delayCs) * 10;
      composed->DelayMs = ms < kMinFrameMs ? kShortFrameMs : ms;
      frames.push_back(std::move(composed));
    }
  }

  const bool animate = animate_;
  Clear();
  frames_ = std::move(frames);
  width_ = static_cast<int>(width);
  height_ = static_cast<int>(height);
  animate_ = animate;
  ScheduleNext();
  Changed();
}

void TGIFImage::Draw(TCanvas& canvas, const RECT& rect) {
  if (frames_.empty() || !canvas.Handle()) return;
  Frame& f = *frames_[frame_];
  if (!f.Dib) {
    void* bits = nullptr;
    f.Dib = CreateTopDownDib(width_, height_, 32, &bits);
    std::memcpy(bits, f.Pixels.data(), f.Pixels.size() * 4);
  }
  HDC source = CreateCompatibleDC(canvas.Handle());
  HGDIOBJ old = SelectObject(source, f.Dib);
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  AlphaBlend(canvas.Handle(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
             source, 0, 0, width_, height_, blend);
  SelectObject(source, old);
  DeleteDC(source);
}

void TGIFImage::SetFrameIndex(int index) {
  if (index < 0 || index >= FrameCount()) plat::RaiseListIndexError(index);
  if (index == frame_) return;
  frame_ = index;
  Changed();
}

int TGIFImage::FrameDelay(int index) const {
  if (index < 0 || index >= FrameCount()) plat::RaiseListIndexError(index);
  return frames_[index]->DelayMs;
}

const std::uint32_t* TGIFImage::FramePixels(int index) const {
  if (index < 0 || index >= FrameCount()) plat::RaiseListIndexError(index);
  return frames_[index]->Pixels.data();
}

void TGIFImage::SetAnimate(bool on) {
  if (on == animate_) return;
  animate_ = on;
  if (timer_) {
    KillTimer(nullptr, timer_);
    Animations().erase(timer_);
    timer_ = 0;
  }
  ScheduleNext();
}

void TGIFImage::ScheduleNext() {
  if (!animate_ || frames_.size() < 2) return;
  timer_ = SetTimer(nullptr, 0, static_cast<UINT>(frames_[frame_]->DelayMs), TimerProc);
  if (timer_) Animations()[timer_] = this;
}

void CALLBACK TGIFImage::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto it = Animations().find(id);
  if (it == Animations().end()) return;
  TGIFImage* image = it->second;
  Animations().erase(it);
  image->timer_ = 0;
  image->frame_ = (image->frame_ + 1) % image->FrameCount();
  image->ScheduleNext();
  image->Changed();  // last: a handler may free the picture
}

// --- TPicture -------------------------------------------------------------------------

TJPEGImage& TPicture::JPEG() { return As<TJPEGImage>(); }
TGIFImage& TPicture::GIF() { return As<TGIFImage>(); }

void TPicture::LoadFromFile(const std::string& fileName) {
  const std::string bytes = ReadPictureFile(fileName);
  std::string ext;
  const std::size_t dot = fileName.find_last_of(".\\/");
  if (dot != std::string::npos && fileName[dot] == '.') ext = fileName.substr(dot);
  std::string lower = ext;
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');

  const bool gifBytes = bytes.compare(0, 4, "GIF8") == 0;
  std::unique_ptr<TGraphic> graphic;
  if (plat::LooksLikeJpeg(bytes.data(), bytes.size())) {
    auto jpeg = std::make_unique<TJPEGImage>();
    jpeg->LoadFromBytes(bytes.data(), bytes.size());
    graphic = std::move(jpeg);
  } else if (gifBytes || lower == ".gif") {
    auto gif = std::make_unique<TGIFImage>();
    gif->LoadFromBytes(bytes.data(), bytes.size());
    graphic = std::move(gif);
  } else if (lower == ".jpg" || lower == ".jpeg" || lower == ".jpe") {
    auto jpeg = std::make_unique<TJPEGImage>();
    jpeg->LoadFromBytes(bytes.data(), bytes.size());
    graphic = std::move(jpeg);
  } else {
    throw plat::Exception("Unknown picture file extension (" + ext + ")");
  }
  Take(std::move(graphic));
  if (OnChange) OnChange();
}

}  // namespace ui
