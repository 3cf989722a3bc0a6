#include "platform/jpeg.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <cstring>
#include <string>

#include "platform/except.h"

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace plat {

namespace {

// The library reports a fatal error by calling error_exit, which must not return. It jumps
// back to the setjmp of the one Guarded call in progress; no C++ object with a destructor
// lives in the frames it leaves (the library's own and Guarded's), and the exception is raised
// only after the jump has landed.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  int warnings;
};

extern "C" void OnErrorExit(j_common_ptr info) {
  auto* err = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, err->message);
  std::longjmp(err->jump, 1);
}

extern "C" void OnEmitMessage(j_common_ptr info, int level) {
  // Level -1 is a warning about damaged data; the others are trace messages. Nothing goes to
  // the standard error stream.
  if (level < 0) reinterpret_cast<ErrorManager*>(info->err)->warnings++;
}

extern "C" void OnOutputMessage(j_common_ptr) {}

// The source: the whole picture in memory. Past its end the library is given an end-of-image
// marker, as it is by its own file source, so a cut picture decodes with grey rows.
const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

extern "C" void SourceInit(j_decompress_ptr) {}

extern "C" boolean SourceFill(j_decompress_ptr info) {
  WARNMS(info, JWRN_JPEG_EOF);
  info->src->next_input_byte = kEndOfImage;
  info->src->bytes_in_buffer = sizeof kEndOfImage;
  return TRUE;
}

extern "C" void SourceSkip(j_decompress_ptr info, long count) {
  jpeg_source_mgr* src = info->src;
  if (count <= 0) return;
  while (count > static_cast<long>(src->bytes_in_buffer)) {
    count -= static_cast<long>(src->bytes_in_buffer);
    (*src->fill_input_buffer)(info);
  }
  src->next_input_byte += count;
  src->bytes_in_buffer -= static_cast<std::size_t>(count);
}

extern "C" void SourceTerm(j_decompress_ptr) {}

}  // namespace

struct JpegDecoder::State {
  jpeg_decompress_struct info;
  ErrorManager err;
  jpeg_source_mgr source;
  bool created = false;
  bool headerRead = false;
  bool started = false;
  JSAMPLE* cmykRow = nullptr;  // one stored row of a CMYK picture, from the library's pool

  // Runs one library step; a fatal error of the library becomes a plat::Exception.
  template <class Step>
  void Guarded(Step step) {
    if (Run(step)) return;
    std::string text = err.message;
    if (created) jpeg_abort_decompress(&info);  // the object stays usable for a new picture
    headerRead = started = false;
    cmykRow = nullptr;
    throw Exception("JPEG error: " + text);
  }

  template <class Step>
  bool Run(Step& step) {
    if (setjmp(err.jump)) return false;
    step();
    return true;
  }
};

JpegDecoder::JpegDecoder() : state_(new State) {
  State& s = *state_;
  std::memset(&s.info, 0, sizeof s.info);
  s.info.err = jpeg_std_error(&s.err.pub);
  s.err.pub.error_exit = OnErrorExit;
  s.err.pub.emit_message = OnEmitMessage;
  s.err.pub.output_message = OnOutputMessage;
  s.err.message[0] = 0;
  s.err.warnings = 0;
  s.Guarded([&s] { jpeg_create_decompress(&s.info); });
  s.created = true;
}

JpegDecoder::~JpegDecoder() {
  if (state_->created) jpeg_destroy_decompress(&state_->info);
}

void JpegDecoder::ReadHeader(const void* data, std::size_t size) {
  State& s = *state_;
  if (s.headerRead) jpeg_abort_decompress(&s.info);
  s.headerRead = s.started = false;
  s.cmykRow = nullptr;
  s.err.warnings = 0;
  if (!data || size == 0) throw Exception("JPEG error: Empty input buffer");

  s.source.init_source = SourceInit;
  s.source.fill_input_buffer = SourceFill;
  s.source.skip_input_data = SourceSkip;
  s.source.resync_to_restart = jpeg_resync_to_restart;
  s.source.term_source = SourceTerm;
  s.source.next_input_byte = static_cast<const JOCTET*>(data);
  s.source.bytes_in_buffer = size;
  s.info.src = &s.source;

  s.Guarded([&s] { jpeg_read_header(&s.info, TRUE); });
  s.headerRead = true;
  const std::uint64_t pixels =
      static_cast<std::uint64_t>(s.info.image_width) * s.info.image_height;
  if (pixels > kJpegMaxPixels) {
    jpeg_abort_decompress(&s.info);
    s.headerRead = false;
    throw Exception(Format("JPEG error: Picture too large (%u x %u)", s.info.image_width,
                           s.info.image_height));
  }
  // CMYK and YCCK pictures come out as CMYK and are converted row by row; everything else the
  // library converts itself.
  if (s.info.jpeg_color_space == JCS_CMYK || s.info.jpeg_color_space == JCS_YCCK)
    s.info.out_color_space = JCS_CMYK;
  else
    s.info.out_color_space = JCS_EXT_BGR;
}

int JpegDecoder::Width() const {
  return state_->headerRead ? static_cast<int>(state_->info.image_width) : 0;
}
int JpegDecoder::Height() const {
  return state_->headerRead ? static_cast<int>(state_->info.image_height) : 0;
}
int JpegDecoder::Components() const {
  return state_->headerRead ? state_->info.num_components : 0;
}

void JpegDecoder::Start() {
  State& s = *state_;
  if (!s.headerRead) throw Exception("JPEG error: No picture header read");
  if (s.started) return;
  s.Guarded([&s] {
    jpeg_start_decompress(&s.info);
    if (s.info.out_color_space == JCS_CMYK)
      s.cmykRow = static_cast<JSAMPLE*>((*s.info.mem->alloc_small)(
          reinterpret_cast<j_common_ptr>(&s.info), JPOOL_IMAGE,
          static_cast<std::size_t>(s.info.output_width) * 4));
  });
  s.started = true;
}

bool JpegDecoder::ReadScanline(std::uint8_t* row) {
  State& s = *state_;
  if (!s.started) throw Exception("JPEG error: Decompression not started");
  if (s.info.output_scanline >= s.info.output_height) return false;
  if (!s.cmykRow) {
    JSAMPROW rows[1] = {row};
    s.Guarded([&s, &rows] { jpeg_read_scanlines(&s.info, rows, 1); });
    return true;
  }
  JSAMPROW rows[1] = {s.cmykRow};
  s.Guarded([&s, &rows] { jpeg_read_scanlines(&s.info, rows, 1); });
  // Adobe's encoders store CMYK inverted (0 = full ink); the library hands the values on as
  // stored, so each colour is the ink value scaled by the black value.
  const bool inverted = s.info.saw_Adobe_marker;
  for (JDIMENSION x = 0; x < s.info.output_width; ++x) {
    const JSAMPLE* p = s.cmykRow + x * 4;
    unsigned c = p[0], m = p[1], y = p[2], k = p[3];
    if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    row[x * 3 + 0] = static_cast<std::uint8_t>(y * k / 255);
    row[x * 3 + 1] = static_cast<std::uint8_t>(m * k / 255);
    row[x * 3 + 2] = static_cast<std::uint8_t>(c * k / 255);
  }
  return true;
}

int JpegDecoder::NextRow() const {
  return state_->started ? static_cast<int>(state_->info.output_scanline) : 0;
}

void JpegDecoder::Finish() {
  State& s = *state_;
  if (!s.started) return;
  // Rows not read are skipped by the library's own finish only in buffered mode; abort then.
  if (s.info.output_scanline < s.info.output_height)
    jpeg_abort_decompress(&s.info);
  else
    s.Guarded([&s] { jpeg_finish_decompress(&s.info); });
  s.headerRead = s.started = false;
  s.cmykRow = nullptr;
}

int JpegDecoder::Warnings() const { return state_->err.warnings; }

JpegPicture DecodeJpeg(const void* data, std::size_t size) {
  JpegDecoder decoder;
  decoder.ReadHeader(data, size);
  decoder.Start();
  JpegPicture picture;
  picture.Width = decoder.Width();
  picture.Height = decoder.Height();
  const std::size_t stride = static_cast<std::size_t>(picture.Width) * 3;
  picture.Pixels.resize(stride * static_cast<std::size_t>(picture.Height));
  for (int y = 0; y < picture.Height; ++y) decoder.ReadScanline(picture.Pixels.data() + y * stride);
  decoder.Finish();
  return picture;
}

bool LooksLikeJpeg(const void* data, std::size_t size) {
  const auto* b = static_cast<const std::uint8_t*>(data);
  return b && size >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF;
}

}  // namespace plat
