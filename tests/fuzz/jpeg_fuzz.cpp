// Feeds arbitrary bytes to the JPEG decoder: it must decode them or throw plat::Exception,
// never crash, read out of bounds or end the process.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/except.h"
#include "platform/jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    plat::JpegDecoder d;
    d.ReadHeader(data, size);
    // Keep each run short: big pictures are read only in part.
    if (static_cast<long long>(d.Width()) * d.Height() > 1024 * 1024) return 0;
    d.Start();
    std::vector<std::uint8_t> row(static_cast<std::size_t>(d.Width()) * 3);
    while (d.ReadScanline(row.data())) {
    }
    d.Finish();
  } catch (const plat::Exception&) {
  }
  return 0;
}
