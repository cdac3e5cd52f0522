// Cuts fuzzing seeds out of photo files at run time, so that no photo is copied into the repository:
//   jpeg_reader/  the file up to its start-of-scan segment (the reader stops there; pixels only slow it)
//   tiff_reader/  the TIFF structure of the Exif APP1 segment (after "Exif\0\0"), a TIFF file of its own
//   iptc/         each APP13 segment as the reader keeps it: the two length bytes, then the payload
// Usage: lumetra-fuzz-cut-seeds <output folder> <photo>...
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace {

struct Cut {
  std::string head;  // up to and including the start-of-scan segment
  std::string tiff;
  std::string app13;
};

Cut CutJpeg(std::string_view file) {
  Cut cut;
  if (file.size() < 2 || file.substr(0, 2) != "\xFF\xD8") return cut;
  size_t pos = 2;
  while (pos < file.size()) {
    if (static_cast<unsigned char>(file[pos]) != 0xFF) break;
    while (pos < file.size() && static_cast<unsigned char>(file[pos]) == 0xFF) ++pos;
    if (file.size() - pos < 3) break;
    const unsigned char marker = static_cast<unsigned char>(file[pos]);
    const size_t length = static_cast<unsigned char>(file[pos + 1]) << 8 | static_cast<unsigned char>(file[pos + 2]);
    if (length < 2 || length > file.size() - pos - 1) break;
    const std::string_view data = file.substr(pos + 1, length);  // length bytes and payload
    if (marker == 0xE1 && cut.tiff.empty() && data.substr(2, 6) == std::string_view("Exif\0\0", 6)) {
      cut.tiff = data.substr(8);
    }
    if (marker == 0xED && cut.app13.empty()) cut.app13 = data;
    pos += 1 + length;
    if (marker == 0xDA || marker == 0xD9) break;
  }
  cut.head = file.substr(0, pos);
  return cut;
}

void Write(const std::filesystem::path& file, const std::string& bytes) {
  if (bytes.empty()) return;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <output folder> <photo>...\n", argv[0]);
    return 2;
  }
  const std::filesystem::path out = argv[1];
  for (int i = 2; i < argc; ++i) {
    std::ifstream stream(argv[i], std::ios::binary);
    const std::string file{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    const Cut cut = CutJpeg(file);
    const std::string name = "corpus-" + std::to_string(i - 1);
    Write(out / "jpeg_reader" / (name + ".jpg"), cut.head);
    Write(out / "tiff_reader" / (name + ".tif"), cut.tiff);
    Write(out / "iptc" / name, cut.app13);
  }
  return 0;
}
