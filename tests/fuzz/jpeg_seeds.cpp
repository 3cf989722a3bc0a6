// Writes a few small JPEG files of every kind the decoder handles into the given folder.
#include <fstream>
#include <string>
#include <vector>

#include "testsupport/PictureWriters.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string dir = argv[1];
  using testsupport::JpegOptions;
  std::vector<std::uint8_t> rgb, grey, cmyk;
  for (int i = 0; i < 16 * 12; ++i) {
    rgb.insert(rgb.end(), {static_cast<std::uint8_t>(i * 7), static_cast<std::uint8_t>(i), 90});
    grey.push_back(static_cast<std::uint8_t>(i * 3));
    cmyk.insert(cmyk.end(), {static_cast<std::uint8_t>(i), 40, 200, 255});
  }
  auto write = [&](const char* name, const std::string& bytes) {
    std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
  };
  write("rgb.jpg", testsupport::WriteJpeg(16, 12, 3, rgb));
  write("progressive.jpg", testsupport::WriteJpeg(16, 12, 3, rgb, JpegOptions{80, true, 0}));
  write("restart.jpg", testsupport::WriteJpeg(16, 12, 3, rgb, JpegOptions{80, false, 1}));
  write("grey.jpg", testsupport::WriteJpeg(16, 12, 1, grey));
  write("cmyk.jpg", testsupport::WriteJpeg(16, 12, 4, cmyk));
  return 0;
}
