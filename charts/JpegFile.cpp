#include "charts/JpegFile.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <optional>
#include <string_view>

#include "files/ReplaceFile.h"

namespace lumetra {
namespace {

constexpr int kQuality = 90;

// libjpeg's own error exit ends the process; this one jumps back to the encoder with the message.
struct JumpingErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void JumpOnError(j_common_ptr info) {
  auto* errors = reinterpret_cast<JumpingErrors*>(info->err);
  (*info->err->format_message)(info, errors->message);
  std::longjmp(errors->jump, 1);
}

// Collects the encoded bytes in a string owned by the caller, so that nothing is left to free when a
// failure jumps out of the encoder.
struct StringDestination {
  jpeg_destination_mgr manager;
  std::string* bytes;
  JOCTET buffer[65536];
};

void StartBuffer(j_compress_ptr compress) {
  auto* destination = reinterpret_cast<StringDestination*>(compress->dest);
  destination->manager.next_output_byte = destination->buffer;
  destination->manager.free_in_buffer = sizeof destination->buffer;
}

boolean FlushFullBuffer(j_compress_ptr compress) {
  auto* destination = reinterpret_cast<StringDestination*>(compress->dest);
  destination->bytes->append(reinterpret_cast<const char*>(destination->buffer), sizeof destination->buffer);
  StartBuffer(compress);
  return TRUE;
}

void FlushLastBuffer(j_compress_ptr compress) {
  auto* destination = reinterpret_cast<StringDestination*>(compress->dest);
  destination->bytes->append(reinterpret_cast<const char*>(destination->buffer),
                             sizeof destination->buffer - destination->manager.free_in_buffer);
}

// Encodes packed RGB rows into `bytes`. A failure leaves by longjmp, so only plain C objects live in this
// frame. Returns false with libjpeg's message.
bool EncodeRgb(const unsigned char* pixels, int width, int height, size_t stride, std::string* bytes, char* message) {
  jpeg_compress_struct compress{};
  JumpingErrors errors{};
  StringDestination destination{};
  destination.bytes = bytes;
  destination.manager.init_destination = StartBuffer;
  destination.manager.empty_output_buffer = FlushFullBuffer;
  destination.manager.term_destination = FlushLastBuffer;
  compress.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = JumpOnError;
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_compress(&compress);
    std::snprintf(message, JMSG_LENGTH_MAX, "%s", errors.message);
    return false;
  }
  jpeg_create_compress(&compress);
  compress.dest = &destination.manager;
  compress.image_width = static_cast<JDIMENSION>(width);
  compress.image_height = static_cast<JDIMENSION>(height);
  compress.input_components = 3;
  compress.in_color_space = JCS_RGB;
  jpeg_set_defaults(&compress);
  jpeg_set_quality(&compress, kQuality, TRUE);  // baseline tables; no progression is asked for
  jpeg_start_compress(&compress, TRUE);
  while (compress.next_scanline < compress.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(pixels + compress.next_scanline * stride);
    jpeg_write_scanlines(&compress, &row, 1);
  }
  jpeg_finish_compress(&compress);
  jpeg_destroy_compress(&compress);
  return true;
}

std::string Failure(const std::filesystem::path& file, std::string_view reason) {
  std::string message = file.string();
  message.append(": ").append(reason);
  return message;
}

}  // namespace

std::string WriteJpegFile(const QImage& picture, const std::filesystem::path& file) {
  if (picture.isNull()) return Failure(file, "the picture is empty");
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
  std::string bytes;
  char message[JMSG_LENGTH_MAX] = {};
  if (!EncodeRgb(rgb.constBits(), rgb.width(), rgb.height(), static_cast<size_t>(rgb.bytesPerLine()), &bytes,
                 message)) {
    return Failure(file, message);
  }
  const std::optional<std::string> failure = ReplaceFile(file, bytes, LinkAtPath::kReplaceTheLink);
  return failure ? Failure(file, *failure) : std::string();
}

}  // namespace lumetra
