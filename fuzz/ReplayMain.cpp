// Runs a fuzz target's LLVMFuzzerTestOneInput once on every file of the folders (or files) given, so the
// committed seeds and regression inputs are replayed by the ordinary test run, without libFuzzer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<std::filesystem::path> InputsOf(const std::filesystem::path& argument) {
  std::vector<std::filesystem::path> inputs;
  if (std::filesystem::is_directory(argument)) {
    for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(argument)) {
      if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
  } else if (std::filesystem::is_regular_file(argument)) {
    inputs.push_back(argument);
  }
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    for (const std::filesystem::path& input : InputsOf(argv[i])) {
      std::ifstream stream(input, std::ios::binary);
      const std::string bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
      if (!stream.good() && !stream.eof()) {
        std::fprintf(stderr, "cannot read %s\n", input.c_str());
        return 1;
      }
      std::fprintf(stderr, "replaying %s (%zu bytes)\n", input.c_str(), bytes.size());
      // A copy of exactly the input's size, so that AddressSanitizer sees a read past its end.
      std::vector<uint8_t> copy(bytes.begin(), bytes.end());
      LLVMFuzzerTestOneInput(copy.data(), copy.size());
      ++replayed;
    }
  }
  // A replay that finds nothing to run would pass without testing anything.
  if (replayed == 0) {
    std::fprintf(stderr, "no inputs found in the folders given\n");
    return 1;
  }
  std::fprintf(stderr, "%zu inputs replayed\n", replayed);
  return 0;
}
