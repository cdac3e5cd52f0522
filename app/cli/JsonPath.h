#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace lumetra::cli {

/// Adds file or folder path `path` to `object` as member `name`, by the one rule of every command's JSON.
/// A path that is valid UTF-8 is that text. A path that is not is written as text with each byte outside a
/// valid UTF-8 sequence shown as U+FFFD, followed by member `name` + "Bytes" holding every byte of the
/// path in lower-case hex ("bad\xff.jpg": "bad\ufffd.jpg" and "626164ff2e6a7067"), from which a caller
/// opens the file; two paths never share it. Every JSON parser reads both members.
void AddJsonPath(nlohmann::ordered_json& object, const std::string& name, std::string_view path);

}  // namespace lumetra::cli
