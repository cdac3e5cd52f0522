#include "app/cli/TagsCommand.h"

#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include "metadata/ExifData.h"
#include "metadata/TextEncoding.h"

namespace lumetra::cli {
namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

nlohmann::ordered_json FileJson(const std::string& path, const TimgData& data) {
  nlohmann::ordered_json tags = nlohmann::ordered_json::array();
  if (data.ImageInfo) {
    for (const TTagEntry& entry : data.ImageInfo->Tags) {
      tags.push_back({{"name", TextAsUtf8(entry.Name)},
                      {"tag", entry.Tag},
                      {"origin", entry.Origin},
                      {"format", entry.Format},
                      {"text", TextAsUtf8(entry.Text)}});
    }
  }
  return {{"file", TextAsUtf8(path)}, {"hasExif", data.HasExif()}, {"error", TextAsUtf8(data.ErrorText)}, {"tags", tags}};
}

void PrintText(const std::string& path, const TimgData& data, std::ostream& out) {
  out << TextAsUtf8(path) << '\n';
  if (data.ImageInfo) {
    for (const TTagEntry& entry : data.ImageInfo->Tags) {
      out << TextAsUtf8(entry.Name) << " = " << TextAsUtf8(entry.Text) << '\n';
    }
  }
  out << "ErrorText = " << TextAsUtf8(data.ErrorText) << "\n\n";
}

}  // namespace

int RunTagsCommand(const std::vector<std::string>& files, bool json, std::ostream& out, std::ostream& errors) {
  int exit_code = 0;
  nlohmann::ordered_json all = nlohmann::ordered_json::array();
  for (const std::string& path : files) {
    if (!Exists(path)) {
      errors << "lumetra-cli: " << path << ": no such file\n";
      exit_code = 1;
    }
    TimgData data(BuildAll);
    data.ProcessFile(path);
    if (json) {
      all.push_back(FileJson(path, data));
    } else {
      PrintText(path, data, out);
    }
  }
  if (json) out << all.dump(2) << '\n';
  return exit_code;
}

}  // namespace lumetra::cli
