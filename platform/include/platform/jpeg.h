// Decoding JPEG pictures held in memory (IJG libjpeg, library interface version 62) into
// rows of 24-bit pixels. Every failure of the library becomes a plat::Exception; the library
// never ends the process and never unwinds through C++ frames.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace plat {

// The largest picture (width x height) the decoder accepts; larger headers are refused
// before any pixel memory is taken.
constexpr std::uint32_t kJpegMaxPixels = 1u << 25;

// One decompression, in the library's order: ReadHeader, Start, ReadScanline for each row
// from the top, Finish. Pixels come out in Windows DIB order: blue, green, red; grey and
// CMYK pictures are converted to it. The bytes must stay alive until Finish or destruction.
class JpegDecoder {
public:
  JpegDecoder();  // creates the library's decompression object
  ~JpegDecoder();
  JpegDecoder(const JpegDecoder&) = delete;
  JpegDecoder& operator=(const JpegDecoder&) = delete;

  // Reads the markers up to the first scan. Throws on anything that is no JPEG picture and on
  // a picture larger than kJpegMaxPixels.
  void ReadHeader(const void* data, std::size_t size);
  int Width() const;   // after ReadHeader
  int Height() const;
  int Components() const;  // of the stored picture: 1 grey, 3 colour, 4 CMYK

  void Start();
  // Fills one row of Width() * 3 bytes. False when every row has been read. Damaged or
  // missing picture data below the header gives grey rows and a warning, not an error.
  bool ReadScanline(std::uint8_t* row);
  int NextRow() const;  // the number of rows read so far
  void Finish();        // after the last row
  int Warnings() const;  // damaged data the library passed over

private:
  struct State;
  std::unique_ptr<State> state_;
};

// A whole decoded picture: rows from the top, each Width * 3 bytes (blue, green, red).
struct JpegPicture {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Pixels;
};

// Decodes a whole picture at once. Throws plat::Exception as JpegDecoder does.
JpegPicture DecodeJpeg(const void* data, std::size_t size);

// True when the bytes begin like a JPEG file (FF D8 FF).
bool LooksLikeJpeg(const void* data, std::size_t size);

}  // namespace plat
