#include "app/cli/TagsCommand.h"

#include <cerrno>
#include <nlohmann/json.hpp>
#include <optional>
#include <system_error>

#include "app/cli/FinishOutput.h"
#include "app/cli/JsonPath.h"
#include "metadata/ExifData.h"
#include "metadata/ReaderError.h"
#include "text/TextEncoding.h"

namespace lumetra::cli {
namespace {

// The reason a file could not be looked at, as the reader's open found it; a missing file keeps its short
// message.
std::string OpenFailureText(const std::string& reason) {
  return reason == std::generic_category().message(ENOENT) ? "no such file" : reason;
}

// What --iptc adds for one file: the datasets listed, and the message of a parse that failed part-way.
struct IptcOutcome {
  const std::vector<TTagEntry>* datasets = nullptr;
  std::optional<std::string> error;
};

IptcOutcome ReadIptc(TimgData& data) {
  IptcOutcome outcome;
  if (!data.IptcInfo) return outcome;
  try {
    data.IptcInfo->ParseIptc(data.Sections[static_cast<size_t>(data.IptcSection)].Data);
  } catch (const ReaderError& error) {
    outcome.error = error.what();
  }
  outcome.datasets = &data.IptcInfo->Tags;
  return outcome;
}

nlohmann::ordered_json FileJson(const std::string& path, const TimgData& data, const IptcOutcome* iptc) {
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
  nlohmann::ordered_json file;
  AddJsonPath(file, "file", path);
  file["hasExif"] = data.HasExif();
  file["error"] = TextAsUtf8(data.ErrorText);
  file["tags"] = std::move(tags);
  if (iptc != nullptr) {
    nlohmann::ordered_json datasets = nlohmann::ordered_json::array();
    if (iptc->datasets != nullptr) {
      for (const TTagEntry& entry : *iptc->datasets) {
        datasets.push_back({{"name", TextAsUtf8(entry.Name)},
                            {"record", entry.IptcRecord},
                            {"dataset", entry.Tag},
                            {"text", TextAsUtf8(entry.Text)}});
      }
    }
    file["iptc"] = datasets;
    if (iptc->error) file["iptcError"] = TextAsUtf8(*iptc->error);
  }
  return file;
}

// A text of the file as one item of the text output: on one line, its control characters escaped.
std::string Shown(std::string_view bytes) { return EscapedControls(TextAsUtf8(bytes)); }

void PrintText(const std::string& path, const TimgData& data, const IptcOutcome* iptc, std::ostream& out) {
  out << Shown(path) << '\n';
  if (data.ImageInfo) {
    for (const TTagEntry& entry : data.ImageInfo->Tags) out << Shown(entry.Name) << " = " << Shown(entry.Text) << '\n';
  }
  out << "ErrorText = " << Shown(data.ErrorText) << '\n';
  if (iptc != nullptr) {
    out << "IPTC:\n";
    if (iptc->datasets != nullptr) {
      for (const TTagEntry& entry : *iptc->datasets) {
        out << Shown(entry.Name) << " = " << Shown(entry.Text) << '\n';
      }
    }
    if (iptc->error) out << "IPTC error: " << Shown(*iptc->error) << '\n';
  }
  out << '\n';
}

}  // namespace

int RunTagsCommand(const std::vector<std::string>& files, const TagsOptions& options, std::ostream& out,
                   std::ostream& errors) {
  int exit_code = 0;
  nlohmann::ordered_json all = nlohmann::ordered_json::array();
  for (const std::string& path : files) {
    TimgData data(BuildAll);
    data.ProcessFile(path);
    if (!data.open_failure.empty()) {
      errors << "lumetra-cli: " << EscapedControls(path) << ": " << OpenFailureText(data.open_failure) << '\n';
      exit_code = 1;
    }
    std::optional<IptcOutcome> iptc;
    if (options.iptc) iptc = ReadIptc(data);
    const IptcOutcome* iptc_shown = iptc ? &*iptc : nullptr;
    if (options.json) {
      all.push_back(FileJson(path, data, iptc_shown));
    } else {
      PrintText(path, data, iptc_shown, out);
    }
  }
  if (options.json) out << all.dump(2) << '\n';
  return FinishOutput(out, errors, exit_code);
}

}  // namespace lumetra::cli
