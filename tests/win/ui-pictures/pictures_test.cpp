#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/except.h"
#include "testsupport/PictureWriters.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/Graphics.h"
#include "ui/Pictures.h"

using testsupport::GifFrame;
using testsupport::JpegOptions;
using testsupport::WriteGif;
using ui::TGIFImage;
using ui::TJPEGImage;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0),
                   kWhite = RGB(255, 255, 255);

bool Near(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) < 12 && std::abs(GetGValue(a) - GetGValue(b)) < 12 &&
         std::abs(GetBValue(a) - GetBValue(b)) < 12;
}

// A white 24-bit surface to draw pictures on.
struct Surface {
  ui::TBitmap bitmap;
  Surface(int w, int h) {
    bitmap.SetSize(w, h);
    RECT all = {0, 0, w, h};
    bitmap.Canvas().Brush().Color = ui::clWhite;
    bitmap.Canvas().FillRect(all);
  }
  ui::TCanvas& Canvas() { return bitmap.Canvas(); }
  COLORREF At(int x, int y) { return bitmap.Canvas().Pixel(x, y); }
};

std::string RedBlueJpeg(int w, int h) {
  std::vector<std::uint8_t> px;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) px.insert(px.end(), {std::uint8_t(x < w / 2 ? 255 : 0), 0, std::uint8_t(x < w / 2 ? 0 : 255)});
  return testsupport::WriteJpeg(w, h, 3, px, JpegOptions{100});
}

std::string TempPath(const std::string& name) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + "ui_pictures_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

std::string WriteFile(const std::string& name, const std::string& bytes) {
  std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

// Palette: 0 red, 1 green, 2 blue, 3 (transparent in the frames that say so).
const std::vector<std::uint32_t> kPalette = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456};

GifFrame Fill(int left, int top, int w, int h, std::uint8_t index, int delayCs, int disposal,
              int transparent = -1) {
  GifFrame f;
  f.Left = left, f.Top = top, f.Width = w, f.Height = h;
  f.DelayCs = delayCs, f.Disposal = disposal, f.Transparent = transparent;
  f.Indices.assign(static_cast<std::size_t>(w) * h, index);
  return f;
}

// Runs the thread's message loop until done() or the time is up.
template <class Done>
bool PumpUntil(Done done, DWORD ms) {
  DWORD start = GetTickCount();
  MSG msg;
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(5);
  }
  return true;
}

class Pictures : public ::testing::Test {
protected:
  void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  void TearDown() override { CoUninitialize(); }
};

}  // namespace

TEST_F(Pictures, JpegDrawsTopRowFirstInItsOwnColoursAndStretched) {
  TJPEGImage jpeg;
  int changes = 0;
  jpeg.OnChange = [&] { ++changes; };
  EXPECT_TRUE(jpeg.Empty());
  const std::string file = RedBlueJpeg(40, 20);
  jpeg.LoadFromBytes(file.data(), file.size());
  EXPECT_EQ(changes, 1);
  ASSERT_FALSE(jpeg.Empty());
  EXPECT_EQ(jpeg.Width(), 40);
  EXPECT_EQ(jpeg.Height(), 20);

  Surface s(100, 60);
  s.Canvas().Draw(0, 0, jpeg);
  EXPECT_TRUE(Near(s.At(3, 2), kRed));
  EXPECT_TRUE(Near(s.At(36, 18), kBlue));
  EXPECT_TRUE(Near(s.At(50, 30), kWhite));  // outside the picture
  RECT big = {0, 0, 80, 40};
  s.Canvas().StretchDraw(big, jpeg);
  EXPECT_TRUE(Near(s.At(75, 38), kBlue));
  EXPECT_TRUE(Near(s.At(5, 38), kRed));
}

TEST_F(Pictures, JpegThatCannotBeLoadedLeavesThePictureAsItWas) {
  TJPEGImage jpeg;
  const std::string good = RedBlueJpeg(16, 8);
  jpeg.LoadFromBytes(good.data(), good.size());
  int changes = 0;
  jpeg.OnChange = [&] { ++changes; };
  const std::string missing = TempPath("missing.jpg");
  try {
    jpeg.LoadFromFile(missing);
    ADD_FAILURE() << "no error for a missing file";
  } catch (const plat::Exception& e) {
    EXPECT_EQ(e.Message(), "Cannot open file \"" + missing + "\"");
  }
  EXPECT_THROW(jpeg.LoadFromBytes("GIF89a", 6), plat::Exception);
  EXPECT_THROW(jpeg.LoadFromBytes(good.data(), 30), plat::Exception);  // cut in the header
  try {
    jpeg.LoadFromResourceName(GetModuleHandleA(nullptr), "NOSUCHPICTURE");
    ADD_FAILURE() << "no error for a missing resource";
  } catch (const plat::Exception& e) {
    EXPECT_EQ(e.Message(), "Resource NOSUCHPICTURE not found");
  }
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(jpeg.Width(), 16);
  EXPECT_EQ(jpeg.Height(), 8);

  // From a file, and a damaged one (cut in its picture data) still loads.
  const std::string path = WriteFile("cut.jpg", good.substr(0, good.size() - 20));
  jpeg.LoadFromFile(path);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(jpeg.Width(), 16);
  DeleteFileA(path.c_str());
}

TEST_F(Pictures, GifFramesAreComposedWithTheirDisposals) {
  // 8 x 6: a red frame; a green square at 2,2 put back to the background after it; a blue
  // square at 0,0 put back to what was before it; then a frame whose colour 3 is see-through.
  std::vector<GifFrame> frames = {
      Fill(0, 0, 8, 6, 0, 5, 1),        // red, 50 ms
      Fill(2, 2, 2, 2, 1, 0, 2),        // green square, no delay given
      Fill(0, 0, 2, 2, 2, 12, 3),       // blue square, 120 ms
      Fill(4, 0, 4, 6, 3, 7, 1, 3),     // see-through right half
  };
  frames[3].Indices[0] = 1;  // one green pixel at 4,0
  const std::string file = WriteGif(8, 6, kPalette, frames);
  TGIFImage gif;
  gif.LoadFromBytes(file.data(), file.size());
  ASSERT_EQ(gif.FrameCount(), 4);
  EXPECT_EQ(gif.Width(), 8);
  EXPECT_EQ(gif.Height(), 6);
  EXPECT_EQ(gif.FrameDelay(0), 50);
  EXPECT_EQ(gif.FrameDelay(1), 100);  // no delay: shown like browsers do
  EXPECT_EQ(gif.FrameDelay(2), 120);
  EXPECT_THROW(gif.FrameDelay(4), plat::EListError);

  auto px = [&](int frame, int x, int y) { return gif.FramePixels(frame)[y * 8 + x]; };
  const std::uint32_t red = 0xFFFF0000, green = 0xFF00FF00, blue = 0xFF0000FF, clear = 0;
  EXPECT_EQ(px(0, 0, 0), red);
  EXPECT_EQ(px(1, 2, 2), green);
  EXPECT_EQ(px(1, 0, 0), red);
  EXPECT_EQ(px(2, 0, 0), blue);
  EXPECT_EQ(px(2, 2, 2), clear);  // the green square went back to the background
  EXPECT_EQ(px(2, 7, 5), red);
  EXPECT_EQ(px(3, 0, 0), red);    // the blue square went back to what was before it
  EXPECT_EQ(px(3, 2, 2), clear);
  EXPECT_EQ(px(3, 4, 0), green);
  EXPECT_EQ(px(3, 5, 0), red);    // see-through: what lay below stays

  // Drawn, the cleared pixels show what lies below: white.
  Surface s(8, 6);
  gif.SetFrameIndex(2);
  s.Canvas().Draw(0, 0, gif);
  EXPECT_TRUE(Near(s.At(0, 0), kBlue));
  EXPECT_TRUE(Near(s.At(2, 2), kWhite));
  EXPECT_TRUE(Near(s.At(6, 4), kRed));
  EXPECT_THROW(gif.SetFrameIndex(-1), plat::EListError);
}

TEST_F(Pictures, AnimatedGifMovesOnByItsDelaysOnlyWhileAnimateIsOn) {
  const std::string file =
      WriteGif(4, 4, kPalette, {Fill(0, 0, 4, 4, 0, 2, 0), Fill(0, 0, 4, 4, 1, 2, 0), Fill(0, 0, 4, 4, 2, 2, 0)});
  TGIFImage gif;
  gif.LoadFromBytes(file.data(), file.size());
  std::vector<int> shown;
  gif.OnChange = [&] { shown.push_back(gif.FrameIndex()); };
  EXPECT_FALSE(gif.Animate());
  EXPECT_FALSE(PumpUntil([&] { return !shown.empty(); }, 150));

  gif.SetAnimate(true);
  ASSERT_TRUE(PumpUntil([&] { return shown.size() >= 4; }, 3000));
  EXPECT_EQ(shown[0], 1);
  EXPECT_EQ(shown[1], 2);
  EXPECT_EQ(shown[2], 0);  // round again
  EXPECT_EQ(shown[3], 1);

  gif.SetAnimate(false);
  shown.clear();
  EXPECT_FALSE(PumpUntil([&] { return !shown.empty(); }, 300));

  // A picture freed while animating leaves no timer behind that would reach it.
  {
    TGIFImage other;
    other.LoadFromBytes(file.data(), file.size());
    other.SetAnimate(true);
  }
  PumpUntil([] { return false; }, 100);

  // Loading again keeps the animation on.
  gif.SetAnimate(true);
  gif.LoadFromBytes(file.data(), file.size());
  EXPECT_TRUE(gif.Animate());
  shown.clear();
  EXPECT_TRUE(PumpUntil([&] { return !shown.empty(); }, 3000));
}

TEST_F(Pictures, GifThatCannotBeDecodedIsRefusedAndThePictureStays) {
  const std::string good = WriteGif(4, 4, kPalette, {Fill(0, 0, 4, 4, 0, 0, 0)});
  TGIFImage gif;
  gif.LoadFromBytes(good.data(), good.size());
  const std::string jpeg = RedBlueJpeg(8, 8);
  EXPECT_THROW(gif.LoadFromBytes(jpeg.data(), jpeg.size()), plat::Exception);
  EXPECT_THROW(gif.LoadFromBytes("GIF89a", 6), plat::Exception);
  EXPECT_THROW(gif.LoadFromBytes(nullptr, 0), plat::Exception);
  // A logical screen of 65535 x 65535 is refused before frames are kept.
  std::string huge = good;
  huge[6] = huge[7] = huge[8] = huge[9] = '\xFF';
  EXPECT_THROW(gif.LoadFromBytes(huge.data(), huge.size()), plat::Exception);
  // So is a frame of 65535 x 65535 on a small screen.
  std::string bigFrame = good;
  const std::size_t descriptor = bigFrame.find(',', 13 + 12);
  ASSERT_NE(descriptor, std::string::npos);
  for (int i = 5; i < 9; ++i) bigFrame[descriptor + i] = '\xFF';
  EXPECT_THROW(gif.LoadFromBytes(bigFrame.data(), bigFrame.size()), plat::Exception);
  // Every cut of a good file is decoded or refused.
  for (std::size_t n = 0; n < good.size(); ++n) {
    TGIFImage cut;
    try {
      cut.LoadFromBytes(good.data(), n);
    } catch (const plat::Exception&) {
    }
  }
  EXPECT_EQ(gif.FrameCount(), 1);
  EXPECT_EQ(gif.Width(), 4);
}

TEST_F(Pictures, PictureLoadsByContentThenByExtension) {
  const std::string gifBytes = WriteGif(5, 3, kPalette, {Fill(0, 0, 5, 3, 1, 0, 0)});
  const std::string jpegBytes = RedBlueJpeg(6, 4);
  ui::TPicture picture;
  int changes = 0;
  picture.OnChange = [&] { ++changes; };

  const std::string gifNamedJpg = WriteFile("Welcome.jpg", gifBytes);
  picture.LoadFromFile(gifNamedJpg);
  EXPECT_NE(dynamic_cast<TGIFImage*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 5);
  EXPECT_EQ(changes, 1);

  const std::string jpegNamedGif = WriteFile("imgLoging.GIF", jpegBytes);
  picture.LoadFromFile(jpegNamedGif);
  EXPECT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 6);
  EXPECT_EQ(changes, 2);

  // Neither kind by content: the extension picks the decoder, which refuses it.
  const std::string junkGif = WriteFile("junk.GIF", "not a picture at all");
  EXPECT_THROW(picture.LoadFromFile(junkGif), plat::Exception);
  const std::string junkJpg = WriteFile("junk.JPEG", "not a picture at all");
  EXPECT_THROW(picture.LoadFromFile(junkJpg), plat::Exception);
  const std::string text = WriteFile("notes.txt", "not a picture at all");
  try {
    picture.LoadFromFile(text);
    ADD_FAILURE();
  } catch (const plat::Exception& e) {
    EXPECT_EQ(e.Message(), "Unknown picture file extension (.txt)");
  }
  EXPECT_THROW(picture.LoadFromFile(TempPath("none.gif")), plat::Exception);
  // The picture held before the failures is still there.
  EXPECT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
  EXPECT_EQ(changes, 2);

  // The picture's changes reach the holder: an animated GIF's frames.
  ui::TGIFImage& gif = picture.GIF();
  const std::string twoFrames = WriteGif(2, 2, kPalette, {Fill(0, 0, 2, 2, 0, 2, 0), Fill(0, 0, 2, 2, 1, 2, 0)});
  gif.LoadFromBytes(twoFrames.data(), twoFrames.size());
  changes = 0;
  gif.SetAnimate(true);
  EXPECT_TRUE(PumpUntil([&] { return changes >= 2; }, 3000));
  gif.SetAnimate(false);

  for (const std::string& p : {gifNamedJpg, jpegNamedGif, junkGif, junkJpg, text}) DeleteFileA(p.c_str());
}

TEST_F(Pictures, ImageOnAFormShowsEachFrameOfItsAnimatedGif) {
  const std::string file =
      WriteGif(20, 10, kPalette, {Fill(0, 0, 20, 10, 0, 15, 0), Fill(0, 0, 20, 10, 1, 15, 0)});
  ui::TForm form;
  form.BorderStyle = ui::TFormBorderStyle::bsNone;
  form.SetBounds(40, 40, 60, 40);
  auto* image = new ui::TImage(&form);
  image->AutoSize = true;
  image->SetParent(&form);
  image->SetBounds(10, 10, 1, 1);
  image->Picture().GIF().LoadFromBytes(file.data(), file.size());
  EXPECT_EQ(image->Width(), 20);  // sized to the picture
  form.Show();
  SetForegroundWindow(form.Handle());
  image->Picture().GIF().SetAnimate(true);

  // The image's own pixels on the screen, read while the animation runs.
  bool sawRed = false, sawGreen = false;
  HDC dc = GetDC(form.Handle());
  PumpUntil([&] {
    COLORREF c = GetPixel(dc, 15, 15);
    sawRed = sawRed || Near(c, kRed);
    sawGreen = sawGreen || Near(c, kGreen);
    return sawRed && sawGreen;
  }, 4000);
  ReleaseDC(form.Handle(), dc);
  EXPECT_TRUE(sawRed);
  EXPECT_TRUE(sawGreen);
  image->Picture().GIF().SetAnimate(false);
}
