#include "text/TextLines.h"

namespace lumetra {

std::vector<TextLine> SplitLinesKeepingEnds(std::string_view text) {
  std::vector<TextLine> lines;
  for (size_t start = 0; start < text.size();) {
    const size_t newline = text.find('\n', start);
    const size_t end = newline == std::string_view::npos ? text.size() : newline + 1;
    size_t text_end = newline == std::string_view::npos ? text.size() : newline;
    if (text_end > start && text[text_end - 1] == '\r') --text_end;
    lines.push_back({text.substr(start, text_end - start), text.substr(text_end, end - text_end)});
    start = end;
  }
  return lines;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  for (const TextLine& line : SplitLinesKeepingEnds(text)) lines.push_back(line.text);
  return lines;
}

}  // namespace lumetra
