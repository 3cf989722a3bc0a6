// Builders of JPEG and GIF files for the picture tests, the fuzz seeds and the benchmark.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct JpegOptions {
  int Quality = 95;
  bool Progressive = false;
  int RestartRows = 0;  // a restart marker every that many rows of blocks; 0 none
};

// Encodes a picture with libjpeg. Pixels are rows from the top with 1 (grey), 3 (red, green,
// blue) or 4 (CMYK, written as given with an Adobe marker) bytes each.
std::string WriteJpeg(int width, int height, int components, const std::vector<std::uint8_t>& pixels,
                      const JpegOptions& options = {});

// A picture of one colour.
std::string WriteSolidJpeg(int width, int height, std::uint8_t red, std::uint8_t green,
                           std::uint8_t blue, const JpegOptions& options = {});

struct GifFrame {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  int DelayCs = 10;      // hundredths of a second
  int Disposal = 0;      // 0/1 keep, 2 background, 3 previous
  int Transparent = -1;  // palette index, -1 none
  std::vector<std::uint8_t> Indices;  // Width * Height palette indices, rows from the top
};

// A GIF89a file with one global palette (0xRRGGBB entries, at most 256), a looping extension
// when there is more than one frame, and every frame's graphic control extension.
std::string WriteGif(int width, int height, const std::vector<std::uint32_t>& palette,
                     const std::vector<GifFrame>& frames);

}  // namespace testsupport
