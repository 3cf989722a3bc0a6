#include "platform/jpeg.h"

#include "platform/except.h"

namespace plat {

struct JpegDecoder::State {};

JpegDecoder::JpegDecoder() : state_(new State) {}
JpegDecoder::~JpegDecoder() = default;
void JpegDecoder::ReadHeader(const void*, std::size_t) { throw Exception("JPEG decoding is not available"); }
int JpegDecoder::Width() const { return 0; }
int JpegDecoder::Height() const { return 0; }
int JpegDecoder::Components() const { return 0; }
void JpegDecoder::Start() {}
bool JpegDecoder::ReadScanline(std::uint8_t*) { return false; }
int JpegDecoder::NextRow() const { return 0; }
void JpegDecoder::Finish() {}
int JpegDecoder::Warnings() const { return 0; }

JpegPicture DecodeJpeg(const void* data, std::size_t size) {
  JpegDecoder decoder;
  decoder.ReadHeader(data, size);
  return {};
}

bool LooksLikeJpeg(const void* data, std::size_t size) {
  const auto* b = static_cast<const std::uint8_t*>(data);
  return size >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF;
}

}  // namespace plat
