#include "charts/ChartTable.h"

#include <algorithm>

#include "charts/Windows1251.h"
#include "files/ReplaceFile.h"
#include "metadata/TextEncoding.h"

namespace lumetra {

const std::vector<myRecord>& ChartTally(const SurveyState& state, ChartId id, bool rb_Real) {
  switch (id) {
    case ChartId::Chart_ShutterSpeed:
      return state.tallyShutter;
    case ChartId::Chart_Fnumber:
      return state.tallyFNumber;
    case ChartId::Chart_FocalLength:
      return rb_Real ? state.tallyFocal : state.tallyFocal35;
    case ChartId::Chart_ISO:
      return state.tallyIso;
    case ChartId::Chart_Program:
      return state.tallyProgram;
    case ChartId::Chart_Meter:
      return state.tallyMetering;
    case ChartId::Chart_Flash:
      return state.tallyFlash;
    case ChartId::Chart_Orientation:
      return state.tallyOrientation;
    case ChartId::Chart_Focus:
      return state.tallyFocus;
    case ChartId::Chart_Drive:
      return state.tallyDrive;
    case ChartId::Chart_Make:
      return state.tallyMake;
    case ChartId::Chart_Crop:
      return state.tallyCrop;
    case ChartId::Chart_Model:
      return state.tallyModel;
    case ChartId::Chart_Lens:
      return state.tallyLens;
  }
  return state.tallyShutter;
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
