// lumetra-demo [FOLDER]: writes the demo photo folder (default "demo-photos" in the current directory), so
// the program can be tried without a photo collection at hand.

#include <exception>
#include <filesystem>
#include <iostream>
#include <string_view>

#include "testing/DemoFolder.h"

namespace {

constexpr std::string_view kUsage = "usage: lumetra-demo [FOLDER]";

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path folder = "demo-photos";
  if (argc > 2) {
    std::cerr << kUsage << " (one folder at most)\n";
    return 2;
  }
  if (argc == 2) {
    const std::string_view argument = argv[1];
    if (argument == "-h" || argument == "--help") {
      std::cout << kUsage << "\nWrites a folder of small demo photos with camera Exif data.\n";
      return 0;
    }
    if (argument.empty() || argument.front() == '-') {
      std::cerr << kUsage << " (not a folder: \"" << argument << "\")\n";
      return 2;
    }
    folder = argument;
  }

  try {
    const std::size_t count = lumetra::testing::WriteDemoFolder(folder);
    std::error_code ignored;
    const std::filesystem::path shown = std::filesystem::absolute(folder, ignored);
    std::cout << "Wrote " << count << " demo photos to " << (shown.empty() ? folder : shown).string() << "\n";
  } catch (const std::exception& error) {
    std::cerr << "lumetra-demo: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
