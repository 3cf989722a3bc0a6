// Decoding speed of the welcome picture's size (980 x 400), baseline and progressive: the
// time from the bytes to all rows. Prints one line per kind.
#include <chrono>
#include <cstdio>
#include <vector>

#include "platform/jpeg.h"
#include "testsupport/PictureWriters.h"

int main() {
  const int w = 980, h = 400, rounds = 40;
  std::vector<std::uint8_t> px;
  px.reserve(static_cast<std::size_t>(w) * h * 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      px.insert(px.end(), {static_cast<std::uint8_t>(x * 255 / w), static_cast<std::uint8_t>(y * 255 / h),
                           static_cast<std::uint8_t>((x * y) % 251)});
  for (bool progressive : {false, true}) {
    const std::string file = testsupport::WriteJpeg(w, h, 3, px, testsupport::JpegOptions{85, progressive, 0});
    std::size_t check = 0;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) check += plat::DecodeJpeg(file.data(), file.size()).Pixels[i];
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / rounds;
    std::printf("%-11s %dx%d, %zu bytes: %.2f ms a picture, %.1f Mpixel/s (check %zu)\n",
                progressive ? "progressive" : "baseline", w, h, file.size(), ms, w * h / ms / 1000.0, check);
  }
  return 0;
}
