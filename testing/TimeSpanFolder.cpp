#include "testing/TimeSpanFolder.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "testing/DemoFolder.h"

namespace lumetra::testing {
namespace {

void WriteFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace

std::size_t WriteTimeSpanFolder(const std::filesystem::path& folder, int months) {
  std::filesystem::create_directories(folder);
  const std::vector<DemoPhoto> cameras = DemoPhotos();
  // A photo with Exif serves as the pattern; only its path and capture time change.
  DemoPhoto pattern = cameras.front();
  for (const DemoPhoto& photo : cameras) {
    if (photo.has_exif) {
      pattern = photo;
      break;
    }
  }
  std::size_t written = 0;
  int sequence = 0;
  for (int month = 0; month < months; ++month) {
    for (int shot = 0; shot <= month % 3; ++shot, ++sequence) {
      DemoPhoto photo = pattern;
      char date_time[32];
      // Mostly by day, 6 to 22 o'clock, and every tenth photo at night.
      const int hour = sequence % 10 == 9 ? sequence % 6 : 6 + sequence * 7 % 17;
      std::snprintf(date_time, sizeof date_time, "%04d:%02d:%02d %02d:%02d:00", 2019 + month / 12, month % 12 + 1,
                    sequence * 5 % 28 + 1, hour, sequence % 60);
      photo.date_time = date_time;
      photo.seed = static_cast<uint32_t>(sequence);
      WriteFile(folder / ("IMG_" + std::to_string(sequence) + ".JPG"), DemoPhotoBytes(photo));
      ++written;
    }
  }
  DemoPhoto untimed = pattern;
  untimed.date_time.clear();
  WriteFile(folder / "NO_TIME.JPG", DemoPhotoBytes(untimed));
  return written + 1;
}

}  // namespace lumetra::testing
