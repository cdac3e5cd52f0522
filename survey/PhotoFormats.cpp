#include "survey/PhotoFormats.h"

#include <algorithm>
#include <string>

#include "text/TextEncoding.h"

namespace lumetra {
namespace {

struct Extension {
  std::string_view text;
  PhotoFileKind kind;
};

constexpr Extension kExtensions[] = {
    {"jpg", PhotoFileKind::kJpeg},  {"jpeg", PhotoFileKind::kJpeg}, {"heic", PhotoFileKind::kHeif},
    {"heif", PhotoFileKind::kHeif}, {"hif", PhotoFileKind::kHeif},  {"avif", PhotoFileKind::kHeif},
    {"nef", PhotoFileKind::kRaw},   {"nrw", PhotoFileKind::kRaw},   {"cr2", PhotoFileKind::kRaw},
    {"cr3", PhotoFileKind::kRaw},   {"dng", PhotoFileKind::kRaw},   {"arw", PhotoFileKind::kRaw},
    {"sr2", PhotoFileKind::kRaw},   {"srf", PhotoFileKind::kRaw},   {"pef", PhotoFileKind::kRaw},
    {"srw", PhotoFileKind::kRaw},   {"iiq", PhotoFileKind::kRaw},   {"3fr", PhotoFileKind::kRaw},
    {"erf", PhotoFileKind::kRaw},   {"mef", PhotoFileKind::kRaw},   {"rwl", PhotoFileKind::kRaw},
    {"orf", PhotoFileKind::kRaw},   {"rw2", PhotoFileKind::kRaw},   {"raf", PhotoFileKind::kRaw},
};

// The longest extension above; a longer one names no photo.
constexpr size_t kLongestExtension = 4;

}  // namespace

PhotoFileKind PhotoFileKindOf(std::string_view name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return PhotoFileKind::kNone;
  const std::string_view extension = name.substr(dot + 1);
  if (extension.size() > kLongestExtension) return PhotoFileKind::kNone;
  const std::string lower = LowerAscii(extension);
  const auto* found = std::find_if(std::begin(kExtensions), std::end(kExtensions),
                                   [&lower](const Extension& known) { return known.text == lower; });
  return found == std::end(kExtensions) ? PhotoFileKind::kNone : found->kind;
}

bool SurveyTakes(PhotoFormats formats, PhotoFileKind kind) {
  if (kind == PhotoFileKind::kJpeg) return true;
  return formats == PhotoFormats::kAll && kind != PhotoFileKind::kNone;
}

std::string_view BaseName(std::string_view name) {
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? name : name.substr(0, dot);
}

}  // namespace lumetra
