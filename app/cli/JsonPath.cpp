#include "app/cli/JsonPath.h"

#include "text/TextEncoding.h"

namespace lumetra::cli {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

std::string ReplacedText(std::string_view path) {
  std::string text;
  for (size_t pos = 0; pos < path.size();) {
    const size_t length = DecodeUtf8(path, pos).length;
    if (length == 0) {
      text.append(kReplacementCharacter);
      ++pos;
    } else {
      text.append(path.substr(pos, length));
      pos += length;
    }
  }
  return text;
}

std::string HexBytes(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    hex.push_back(kHex[static_cast<unsigned char>(c) >> 4]);
    hex.push_back(kHex[static_cast<unsigned char>(c) & 0xF]);
  }
  return hex;
}

}  // namespace

void AddJsonPath(nlohmann::ordered_json& object, const std::string& name, std::string_view path) {
  if (IsValidUtf8(path)) {
    object[name] = std::string(path);
    return;
  }
  object[name] = ReplacedText(path);
  object[name + "Bytes"] = HexBytes(path);
}

}  // namespace lumetra::cli
