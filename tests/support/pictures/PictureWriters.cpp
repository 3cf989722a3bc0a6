#include "testsupport/PictureWriters.h"

#include <cstdio>
#include <cstdlib>

extern "C" {
#include <jpeglib.h>
}

namespace testsupport {

std::string WriteJpeg(int width, int height, int components, const std::vector<std::uint8_t>& pixels,
                      const JpegOptions& options) {
  jpeg_compress_struct info;
  jpeg_error_mgr err;
  info.err = jpeg_std_error(&err);  // a failure here is a broken test: the library exits
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  jpeg_mem_dest(&info, &out, &outSize);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = components;
  info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 4 ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, options.Quality, TRUE);
  if (options.Progressive) jpeg_simple_progression(&info);
  info.restart_in_rows = options.RestartRows;
  jpeg_start_compress(&info, TRUE);
  const std::size_t stride = static_cast<std::size_t>(width) * components;
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPLE*>(pixels.data() + info.next_scanline * stride);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  std::string bytes(reinterpret_cast<char*>(out), outSize);
  jpeg_destroy_compress(&info);
  std::free(out);
  return bytes;
}

std::string WriteSolidJpeg(int width, int height, std::uint8_t red, std::uint8_t green,
                           std::uint8_t blue, const JpegOptions& options) {
  std::vector<std::uint8_t> pixels;
  pixels.reserve(static_cast<std::size_t>(width) * height * 3);
  for (int i = 0; i < width * height; ++i) {
    pixels.push_back(red);
    pixels.push_back(green);
    pixels.push_back(blue);
  }
  return WriteJpeg(width, height, 3, pixels, options);
}

namespace {

void Put16(std::string& s, int v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}

// LZW data that never lets the code width grow: a clear code before every run of
// 2^bits - 2 literal codes.
std::string Lzw(int bits, const std::vector<std::uint8_t>& indices) {
  const int clear = 1 << bits, end = clear + 1, width = bits + 1;
  std::string data;
  unsigned acc = 0;
  int accBits = 0;
  auto emit = [&](int code) {
    acc |= static_cast<unsigned>(code) << accBits;
    accBits += width;
    while (accBits >= 8) {
      data += static_cast<char>(acc & 0xFF);
      acc >>= 8;
      accBits -= 8;
    }
  };
  const std::size_t run = static_cast<std::size_t>(clear - 2);
  for (std::size_t i = 0; i < indices.size(); ++i) {
    if (i % run == 0) emit(clear);
    emit(indices[i]);
  }
  emit(end);
  if (accBits > 0) data += static_cast<char>(acc & 0xFF);
  std::string blocks;
  blocks += static_cast<char>(bits);
  for (std::size_t i = 0; i < data.size(); i += 255) {
    std::string chunk = data.substr(i, 255);
    blocks += static_cast<char>(chunk.size());
    blocks += chunk;
  }
  blocks += '\0';
  return blocks;
}

}  // namespace

std::string WriteGif(int width, int height, const std::vector<std::uint32_t>& palette,
                     const std::vector<GifFrame>& frames) {
  int bits = 2;
  while ((1u << bits) < palette.size()) ++bits;
  std::string s = "GIF89a";
  Put16(s, width);
  Put16(s, height);
  s += static_cast<char>(0x80 | ((bits - 1) << 4) | (bits - 1));  // global palette of 2^bits
  s += '\0';  // background colour index
  s += '\0';  // aspect ratio
  for (std::size_t i = 0; i < (1u << bits); ++i) {
    std::uint32_t c = i < palette.size() ? palette[i] : 0;
    s += static_cast<char>((c >> 16) & 0xFF);
    s += static_cast<char>((c >> 8) & 0xFF);
    s += static_cast<char>(c & 0xFF);
  }
  if (frames.size() > 1) {
    s += "\x21\xFF\x0B" "NETSCAPE2.0" "\x03\x01";
    Put16(s, 0);  // loop for ever
    s += '\0';
  }
  for (const GifFrame& f : frames) {
    s += "\x21\xF9\x04";
    s += static_cast<char>(((f.Disposal & 7) << 2) | (f.Transparent >= 0 ? 1 : 0));
    Put16(s, f.DelayCs);
    s += static_cast<char>(f.Transparent >= 0 ? f.Transparent : 0);
    s += '\0';
    s += '\x2C';
    Put16(s, f.Left);
    Put16(s, f.Top);
    Put16(s, f.Width);
    Put16(s, f.Height);
    s += '\0';  // no local palette, not interlaced
    s += Lzw(bits, f.Indices);
  }
  s += '\x3B';
  return s;
}

}  // namespace testsupport
