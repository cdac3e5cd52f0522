#include "tests/charts/JpegInspection.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace lumetra::testing {
namespace {

int BigEndian16(std::string_view bytes, size_t pos) {
  return (static_cast<uint8_t>(bytes[pos]) << 8) | static_cast<uint8_t>(bytes[pos + 1]);
}

struct JumpingErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void JumpOnError(j_common_ptr info) { std::longjmp(reinterpret_cast<JumpingErrors*>(info->err)->jump, 1); }

// Only plain C objects in this frame: a failure leaves by longjmp.
bool DecodeInto(const unsigned char* data, unsigned long size, QImage* picture) {
  jpeg_decompress_struct decompress{};
  JumpingErrors errors{};
  decompress.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = JumpOnError;
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&decompress);
    return false;
  }
  jpeg_create_decompress(&decompress);
  jpeg_mem_src(&decompress, data, size);
  jpeg_read_header(&decompress, TRUE);
  decompress.out_color_space = JCS_RGB;
  jpeg_start_decompress(&decompress);
  *picture = QImage(static_cast<int>(decompress.output_width), static_cast<int>(decompress.output_height),
                    QImage::Format_RGB888);
  while (decompress.output_scanline < decompress.output_height) {
    JSAMPROW row = picture->scanLine(static_cast<int>(decompress.output_scanline));
    jpeg_read_scanlines(&decompress, &row, 1);
  }
  jpeg_finish_decompress(&decompress);
  jpeg_destroy_decompress(&decompress);
  return true;
}

}  // namespace

JpegFacts InspectJpeg(std::string_view bytes) {
  JpegFacts facts;
  size_t pos = 2;  // after FF D8
  while (pos + 4 <= bytes.size() && static_cast<uint8_t>(bytes[pos]) == 0xFF) {
    const auto marker = static_cast<uint8_t>(bytes[pos + 1]);
    const auto length = static_cast<size_t>(BigEndian16(bytes, pos + 2));
    if (length < 2 || length > bytes.size() - pos - 2) break;
    const size_t payload = pos + 4;
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame && length >= 8) {
      facts.frame_markers.push_back(marker);
      facts.height = BigEndian16(bytes, payload + 1);
      facts.width = BigEndian16(bytes, payload + 3);
      facts.components = static_cast<uint8_t>(bytes[payload + 5]);
    }
    if (marker == 0xDB && facts.first_quantiser < 0 && length >= 4) {
      facts.first_quantiser = static_cast<uint8_t>(bytes[payload + 1]);
    }
    if (marker == 0xDA) break;
    pos += 2 + length;
  }
  return facts;
}

QImage DecodeJpeg(std::string_view bytes) {
  QImage picture;
  if (!DecodeInto(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()),
                  &picture)) {
    return {};
  }
  return picture;
}

}  // namespace lumetra::testing
