#include "charts/ChartTable.h"

#include <algorithm>

#include "files/ReplaceFile.h"
#include "text/TextEncoding.h"
#include "text/Windows1251.h"

namespace lumetra {

const std::vector<myRecord>& ChartTally(const SurveyState& state, ChartId id, bool rb_Real) {
  const ChartRow& row = RowOf(id);
  return state.Tally(rb_Real ? row.tally : row.tally_35mm);
}

std::string ChartTableText(const std::string& title, const std::string& folder, const std::vector<myRecord>& rows) {
  std::string text = "Таблица для параметра \"";
  // A folder name with a line end in it must not split the header line.
  text.append(title).append("\" для фотографий из каталога \"").append(EscapedControls(folder)).append("\"\r\n");
  text.append("Значение\tКоличество\r\n");
  for (const myRecord& row : rows) text.append(row.text).append("\t").append(std::to_string(row.count)).append("\r\n");
  return Utf8ToWindows1251(text);
}

std::string WriteChartTable(const std::filesystem::path& file, const SurveyState& state, ChartId id,
                            const std::string& title, const std::string& folder, bool rb_Real) {
  const std::string content = ChartTableText(title, folder, ChartTally(state, id, rb_Real));
  if (const std::optional<std::string> failure = ReplaceFile(file, content, LinkAtPath::kReplaceTheLink)) {
    std::string message = file.string();
    return message.append(": ").append(*failure);
  }
  return {};
}

std::filesystem::path WithExtension(const std::filesystem::path& file, std::string_view extension) {
  const std::string name = file.filename().string();
  if (name.size() >= extension.size() &&
      LowerAscii(std::string_view(name).substr(name.size() - extension.size())) == LowerAscii(extension)) {
    return file;
  }
  std::filesystem::path extended = file;
  extended += std::string(extension);
  return extended;
}

}  // namespace lumetra
