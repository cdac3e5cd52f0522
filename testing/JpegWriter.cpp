#include "testing/JpegWriter.h"

#include <jpeglib.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <system_error>

namespace lumetra::testing {

namespace detail {

void AppendSegment(std::string& out, const Segment& segment) {
  uint16_t length = 0;
  if (segment.length) {
    length = *segment.length;
  } else {
    if (segment.payload.size() > 0xFFFF - 2) {
      throw std::length_error("JPEG segment payload of " + std::to_string(segment.payload.size()) +
                              " bytes does not fit a 16-bit length");
    }
    length = static_cast<uint16_t>(segment.payload.size() + 2);
  }
  out.push_back('\xFF');
  out.push_back(static_cast<char>(segment.marker));
  out.push_back(static_cast<char>(length >> 8));
  out.push_back(static_cast<char>(length & 0xFF));
  out += segment.payload;
}

// Deterministic generator for the picture's parameters (xorshift32).
class Dice {
 public:
  explicit Dice(uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {
    if (state_ == 0) state_ = 1;
  }
  int Roll(int low, int high) {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return low + static_cast<int>(state_ % static_cast<uint32_t>(high - low + 1));
  }

 private:
  uint32_t state_;
};

uint8_t Mix(int from, int to, int step, int steps) {
  return static_cast<uint8_t>(from + (to - from) * step / (steps > 0 ? steps : 1));
}

// RGB rows of a plain landscape: a sky gradient, a sun disc, a striped ground below the horizon.
std::vector<JSAMPLE> DrawPicture(int width, int height, uint32_t seed) {
  Dice dice(seed);
  const int horizon = height * dice.Roll(40, 70) / 100;
  const int sky_top[3] = {dice.Roll(10, 80), dice.Roll(40, 120), dice.Roll(120, 220)};
  const int sky_low[3] = {dice.Roll(150, 250), dice.Roll(150, 230), dice.Roll(170, 255)};
  const int ground[3] = {dice.Roll(30, 140), dice.Roll(60, 160), dice.Roll(10, 90)};
  const int sun_x = width * dice.Roll(10, 90) / 100;
  const int sun_y = horizon * dice.Roll(20, 80) / 100;
  const int sun_r = 2 + height * dice.Roll(5, 12) / 100;
  const int stripe = dice.Roll(4, 12);

  std::vector<JSAMPLE> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  std::size_t i = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int dx = x - sun_x;
      const int dy = y - sun_y;
      uint8_t rgb[3];
      if (y < horizon && dx * dx + dy * dy <= sun_r * sun_r) {
        rgb[0] = 255, rgb[1] = 228, rgb[2] = 150;
      } else if (y < horizon) {
        for (int c = 0; c < 3; ++c) rgb[c] = Mix(sky_top[c], sky_low[c], y, horizon);
      } else {
        const bool dark = ((x + 2 * (y - horizon)) / stripe) % 2 == 0;
        for (int c = 0; c < 3; ++c) rgb[c] = static_cast<uint8_t>(dark ? ground[c] * 3 / 4 : ground[c]);
      }
      for (uint8_t value : rgb) pixels[i++] = value;
    }
  }
  return pixels;
}

struct ErrorManager {
  jpeg_error_mgr pub;  // first member: libjpeg hands back a pointer to it
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnJpegError(j_common_ptr info) {
  auto* error = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, error->message);
  std::longjmp(error->jump, 1);
}

// Everything libjpeg touches lives here, on the heap, so nothing local is left indeterminate by longjmp.
struct CompressJob {
  jpeg_compress_struct info{};
  ErrorManager error{};
  unsigned char* out = nullptr;
  unsigned long out_size = 0;
  std::vector<JSAMPLE> pixels;
  const std::vector<Segment>* segments = nullptr;
  int width = 0;
  int height = 0;
  int quality = 0;

  CompressJob() = default;
  CompressJob(const CompressJob&) = delete;
  CompressJob& operator=(const CompressJob&) = delete;
  ~CompressJob() {
    jpeg_destroy_compress(&info);
    std::free(out);
  }
};

// Returns false, with job.error.message set, when libjpeg reports an error.
bool RunCompress(CompressJob& job) {
  job.info.err = jpeg_std_error(&job.error.pub);
  job.error.pub.error_exit = OnJpegError;
  if (setjmp(job.error.jump) != 0) return false;

  jpeg_create_compress(&job.info);
  jpeg_mem_dest(&job.info, &job.out, &job.out_size);
  job.info.image_width = static_cast<JDIMENSION>(job.width);
  job.info.image_height = static_cast<JDIMENSION>(job.height);
  job.info.input_components = 3;
  job.info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&job.info);
  jpeg_set_quality(&job.info, job.quality, TRUE);
  // Camera files carry Exif in place of JFIF; callers that want JFIF pass JfifSegment().
  job.info.write_JFIF_header = FALSE;
  job.info.write_Adobe_marker = FALSE;
  jpeg_start_compress(&job.info, TRUE);
  for (const Segment& segment : *job.segments) {
    jpeg_write_marker(&job.info, segment.marker, reinterpret_cast<const JOCTET*>(segment.payload.data()),
                      static_cast<unsigned int>(segment.payload.size()));
  }
  const std::size_t stride = static_cast<std::size_t>(job.width) * 3;
  while (job.info.next_scanline < job.info.image_height) {
    JSAMPROW row = job.pixels.data() + job.info.next_scanline * stride;
    jpeg_write_scanlines(&job.info, &row, 1);
  }
  jpeg_finish_compress(&job.info);
  return true;
}

}  // namespace detail

Segment ExifSegment(const Ifd& ifd0, ByteOrder order) { return Segment{0xE1, BuildExifPayload(ifd0, order), {}}; }

Segment JfifSegment() {
  // "JFIF\0", version 1.01, density unit 1 (dots per inch), 72 x 72, no thumbnail.
  return Segment{0xE0, std::string("JFIF\0\x01\x01\x01\x00\x48\x00\x48\x00\x00", 14), {}};
}

std::string BuildJpeg(const std::vector<Segment>& segments, bool with_scan) {
  std::string out = "\xFF\xD8";
  for (const Segment& segment : segments) detail::AppendSegment(out, segment);
  if (with_scan) {
    // One component, tables 0/0, spectral selection 0..63, no approximation.
    detail::AppendSegment(out, Segment{0xDA, std::string("\x01\x01\x00\x00\x3F\x00", 6), {}});
    out += std::string("\x12\x34\xFF\x00\x56\x78", 6);  // FF 00 is a stuffed 0xFF inside entropy data
    out += "\xFF\xD9";
  }
  return out;
}

std::string EncodeJpeg(int width, int height, uint32_t seed, const std::vector<Segment>& app_segments, int quality) {
  if (width < 1 || width > 65500 || height < 1 || height > 65500) {
    throw std::invalid_argument("picture size " + std::to_string(width) + "x" + std::to_string(height) +
                                " is outside 1..65500");
  }
  if (quality < 1 || quality > 100) {
    throw std::invalid_argument("JPEG quality " + std::to_string(quality) + " is outside 1..100");
  }
  for (const Segment& segment : app_segments) {
    if (segment.length) throw std::invalid_argument("EncodeJpeg writes segment lengths itself; use BuildJpeg");
  }

  auto job = std::make_unique<detail::CompressJob>();
  job->pixels = detail::DrawPicture(width, height, seed);
  job->segments = &app_segments;
  job->width = width;
  job->height = height;
  job->quality = quality;
  if (!detail::RunCompress(*job)) throw std::runtime_error(std::string("JPEG encoder: ") + job->error.message);
  return std::string(reinterpret_cast<const char*>(job->out), job->out_size);
}

void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::error_code error;
  if (path.has_parent_path()) {
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) throw std::runtime_error("cannot create folder " + path.parent_path().string() + ": " + error.message());
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) throw std::runtime_error("cannot create " + path.string() + ": " + std::strerror(errno));
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const int write_errno = errno;
  if (std::fclose(file) != 0 || !written) {
    throw std::runtime_error("cannot write " + path.string() + ": " + std::strerror(written ? errno : write_errno));
  }
}

}  // namespace lumetra::testing
