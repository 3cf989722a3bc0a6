#include "platform/jpeg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/except.h"
#include "testsupport/PictureWriters.h"

using plat::DecodeJpeg;
using plat::JpegDecoder;
using testsupport::JpegOptions;
using testsupport::WriteJpeg;
using testsupport::WriteSolidJpeg;

namespace {

// Blue, green, red of the pixel at x, y of a decoded picture.
struct Bgr {
  int b, g, r;
};
Bgr PixelAt(const plat::JpegPicture& p, int x, int y) {
  const std::uint8_t* q = p.Pixels.data() + (static_cast<std::size_t>(y) * p.Width + x) * 3;
  return {q[0], q[1], q[2]};
}

void ExpectNear(Bgr actual, int b, int g, int r, const char* where) {
  SCOPED_TRACE(where);
  EXPECT_NEAR(actual.b, b, 6);
  EXPECT_NEAR(actual.g, g, 6);
  EXPECT_NEAR(actual.r, r, 6);
}

// A picture whose left half is red and right half blue, 3 bytes a pixel (red, green, blue).
std::vector<std::uint8_t> RedBlue(int width, int height) {
  std::vector<std::uint8_t> px;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      bool left = x < width / 2;
      px.push_back(left ? 255 : 0);
      px.push_back(0);
      px.push_back(left ? 0 : 255);
    }
  return px;
}

std::string ErrorOf(const std::string& bytes) {
  try {
    DecodeJpeg(bytes.data(), bytes.size());
  } catch (const plat::Exception& e) {
    return e.Message();
  }
  return "";
}

}  // namespace

TEST(JpegDecode, ColourPictureComesOutInBlueGreenRedOrder) {
  const std::string file = WriteJpeg(64, 32, 3, RedBlue(64, 32), JpegOptions{100});
  plat::JpegPicture p = DecodeJpeg(file.data(), file.size());
  ASSERT_EQ(p.Width, 64);
  ASSERT_EQ(p.Height, 32);
  ASSERT_EQ(p.Pixels.size(), 64u * 32u * 3u);
  ExpectNear(PixelAt(p, 4, 4), 0, 0, 255, "red half");
  ExpectNear(PixelAt(p, 60, 28), 255, 0, 0, "blue half");
}

TEST(JpegDecode, GreyCmykProgressiveAndRestartPicturesAllBecomeColourRows) {
  {
    std::vector<std::uint8_t> grey(20 * 10, 200);
    const std::string file = WriteJpeg(20, 10, 1, grey);
    JpegDecoder d;
    d.ReadHeader(file.data(), file.size());
    EXPECT_EQ(d.Components(), 1);
    plat::JpegPicture p = DecodeJpeg(file.data(), file.size());
    ExpectNear(PixelAt(p, 19, 9), 200, 200, 200, "grey");
  }
  {
    // Stored the Adobe way (inverted): no cyan ink, full magenta and yellow, no black = red.
    std::vector<std::uint8_t> cmyk;
    for (int i = 0; i < 16 * 16; ++i) cmyk.insert(cmyk.end(), {255, 0, 0, 255});
    const std::string file = WriteJpeg(16, 16, 4, cmyk, JpegOptions{100});
    JpegDecoder d;
    d.ReadHeader(file.data(), file.size());
    EXPECT_EQ(d.Components(), 4);
    plat::JpegPicture p = DecodeJpeg(file.data(), file.size());
    ExpectNear(PixelAt(p, 8, 8), 0, 0, 255, "cmyk red");
  }
  {
    // Odd sizes that are no multiple of the block size, progressive and with restart markers.
    JpegOptions progressive{95, true, 0}, restarts{95, false, 1};
    for (const JpegOptions& o : {progressive, restarts}) {
      const std::string file = WriteJpeg(37, 23, 3, RedBlue(37, 23), o);
      plat::JpegPicture p = DecodeJpeg(file.data(), file.size());
      ASSERT_EQ(p.Width, 37);
      ASSERT_EQ(p.Height, 23);
      ExpectNear(PixelAt(p, 2, 22), 0, 0, 255, o.Progressive ? "progressive" : "restart");
      ExpectNear(PixelAt(p, 35, 0), 255, 0, 0, o.Progressive ? "progressive" : "restart");
    }
  }
}

TEST(JpegDecoder, StepsInTheLibrarysOrderAndCanBeUsedAgain) {
  const std::string small = WriteSolidJpeg(9, 5, 0, 255, 0);
  const std::string other = WriteSolidJpeg(3, 7, 0, 0, 255);
  JpegDecoder d;
  EXPECT_THROW(d.Start(), plat::Exception);  // no header yet
  std::uint8_t row[9 * 3];
  EXPECT_THROW(d.ReadScanline(row), plat::Exception);

  d.ReadHeader(small.data(), small.size());
  EXPECT_EQ(d.Width(), 9);
  EXPECT_EQ(d.Height(), 5);
  d.Start();
  int rows = 0;
  while (d.ReadScanline(row)) {
    ++rows;
    EXPECT_EQ(d.NextRow(), rows);
    EXPECT_NEAR(row[8 * 3 + 1], 255, 6);  // green, last pixel
  }
  EXPECT_EQ(rows, 5);
  EXPECT_FALSE(d.ReadScanline(row));
  d.Finish();
  EXPECT_EQ(d.Warnings(), 0);

  // Abandoned half way: the next picture still decodes.
  d.ReadHeader(small.data(), small.size());
  d.Start();
  d.ReadScanline(row);
  d.Finish();
  d.ReadHeader(other.data(), other.size());
  EXPECT_EQ(d.Width(), 3);
  EXPECT_EQ(d.Height(), 7);
  d.Start();
  ASSERT_TRUE(d.ReadScanline(row));
  EXPECT_NEAR(row[2], 0, 6);
  EXPECT_NEAR(row[0], 255, 6);
  d.Finish();

  // After a failed header the same object still reads a good one.
  EXPECT_THROW(d.ReadHeader("not a picture", 13), plat::Exception);
  d.ReadHeader(small.data(), small.size());
  EXPECT_EQ(d.Width(), 9);
}

TEST(JpegDamage, NoPictureOrBrokenHeaderIsAnErrorWithTheLibrarysText) {
  const std::string good = WriteSolidJpeg(32, 32, 10, 20, 30);
  EXPECT_NE(ErrorOf(""), "");
  EXPECT_THROW(DecodeJpeg(nullptr, 0), plat::Exception);
  EXPECT_EQ(ErrorOf("GIF89a\x01\x00\x01\x00"), "JPEG error: Not a JPEG file: starts with 0x47 0x49");
  EXPECT_EQ(ErrorOf(good.substr(0, 2)).rfind("JPEG error: ", 0), 0u);  // only the start marker
  EXPECT_EQ(ErrorOf(good.substr(0, 40)).rfind("JPEG error: ", 0), 0u);  // cut inside the tables
}

TEST(JpegDamage, CutOrScribbledPictureDataDecodesWithWarnings) {
  const std::string good = WriteJpeg(64, 64, 3, RedBlue(64, 64));
  // Cut half way through the picture data: full size, the missing rows grey, a warning.
  const std::size_t scan = good.find("\xFF\xDA");
  ASSERT_NE(scan, std::string::npos);
  std::string cut = good.substr(0, scan + (good.size() - scan) / 2);
  JpegDecoder d;
  d.ReadHeader(cut.data(), cut.size());
  d.Start();
  std::vector<std::uint8_t> row(64 * 3);
  int rows = 0;
  while (d.ReadScanline(row.data())) ++rows;
  d.Finish();
  EXPECT_EQ(rows, 64);
  EXPECT_GT(d.Warnings(), 0);

  // Scribbled bytes in the middle of the data: decoded or refused, never more than that.
  std::srand(7);
  for (int i = 0; i < 200; ++i) {
    std::string bad = good;
    for (int k = 0; k < 4; ++k)
      bad[scan + std::rand() % (bad.size() - scan)] = static_cast<char>(std::rand());
    try {
      plat::JpegPicture p = DecodeJpeg(bad.data(), bad.size());
      EXPECT_EQ(p.Pixels.size(), 64u * 64u * 3u);
    } catch (const plat::Exception&) {
    }
  }
}

TEST(JpegDamage, EveryCutOfAPictureIsDecodedOrRefused) {
  const std::string good = WriteJpeg(24, 16, 3, RedBlue(24, 16), JpegOptions{90, true, 0});
  for (std::size_t n = 0; n < good.size(); ++n) {
    std::string cut = good.substr(0, n);
    try {
      plat::JpegPicture p = DecodeJpeg(cut.data(), cut.size());
      EXPECT_EQ(p.Width, 24) << n;
      EXPECT_EQ(p.Pixels.size(), 24u * 16u * 3u) << n;
    } catch (const plat::Exception& e) {
      EXPECT_EQ(e.Message().rfind("JPEG error: ", 0), 0u) << n;
    }
  }
}

TEST(JpegDamage, AHugeSizeInTheHeaderIsRefusedBeforeAnyPixelMemory) {
  std::string file = WriteSolidJpeg(8, 8, 1, 2, 3);
  // The frame header: FF C0, length, precision, height, width.
  std::size_t sof = file.find("\xFF\xC0", 2);
  ASSERT_NE(sof, std::string::npos);
  file[sof + 5] = '\xEA';  // height 60000
  file[sof + 6] = '\x60';
  file[sof + 7] = '\xEA';  // width 60000
  file[sof + 8] = '\x60';
  EXPECT_EQ(ErrorOf(file), "JPEG error: Picture too large (60000 x 60000)");
  // Just inside the limit is taken.
  JpegDecoder d;
  file[sof + 5] = '\x10';  // height 4096
  file[sof + 6] = '\x00';
  file[sof + 7] = '\x20';  // width 8192: 2^25 pixels
  file[sof + 8] = '\x00';
  d.ReadHeader(file.data(), file.size());
  EXPECT_EQ(d.Width(), 8192);
}

TEST(JpegSignature, StartOfImageFollowedByAMarker) {
  EXPECT_TRUE(plat::LooksLikeJpeg("\xFF\xD8\xFF\xE0", 4));
  EXPECT_FALSE(plat::LooksLikeJpeg("\xFF\xD8", 2));
  EXPECT_FALSE(plat::LooksLikeJpeg("GIF89a", 6));
  EXPECT_FALSE(plat::LooksLikeJpeg(nullptr, 0));
}
