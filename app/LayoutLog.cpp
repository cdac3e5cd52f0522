#include "app/LayoutLog.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "files/ReplaceFile.h"

namespace lumetra {

LayoutLog::LayoutLog(std::filesystem::path file, bool enabled) : file_(std::move(file)), enabled_(enabled) {
  if (!enabled_) return;
  std::error_code error;
  std::filesystem::remove(file_, error);
  if (error) failure_ = file_.string() + ": " + error.message();
}

void LayoutLog::Log(std::string_view label, std::string_view value) {
  if (!enabled_) return;
  const std::string line = std::string(label) + std::string(value) + "\r\n";
  int error = 0;
  bool written = false;
  if (std::FILE* out = std::fopen(file_.c_str(), "ab"); out == nullptr) {
    error = errno;
  } else {
    written = std::fwrite(line.data(), 1, line.size(), out) == line.size();
    if (!written) error = errno;
    if (std::fclose(out) != 0 && written) {
      written = false;
      error = errno;
    }
  }
  if (!written && !failure_) failure_ = file_.string() + ": " + SystemReason(error);
}

void LayoutLog::Log(std::string_view label, int64_t value) { Log(label, std::to_string(value)); }

}  // namespace lumetra
