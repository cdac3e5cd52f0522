#include "metadata/MakerRenderers.h"

#include <array>
#include <charconv>
#include <optional>
#include <string_view>
#include <vector>

#include "metadata/EndianReader.h"
#include "metadata/ValueRendering.h"

namespace lumetra {
namespace {

// One value a Canon record knows: element k of the array, decoded through a code list or, without one,
// its text as it stands in the list (with the blank that follows the comma).
struct CanonItem {
  const char* name;
  int element;
  const char* code_list;
};

constexpr const char* kLowNormalHigh = "65535:Low,0:Normal,1:High";

constexpr CanonItem kCameraSettings[] = {
    {"Macro mode", 1, "1:Macro,2:Normal"},
    {"Self Timer", 1, nullptr},
    {"Compression Rate", 3, "0:SuperFine,1:Fine,2:Normal,3:Basic,5:SuperFine"},
    {"Flash Mode", 4, "0:Not fired,1:Auto,2:On,3:Red-eye,4:Slow sync,5:Auto+red-eye,6:On+red eye,16:External flash"},
    {"Drive Mode", 5, "0:Single,1:Continuous"},
    {"Focus Mode", 7, "0:One-Shot,1:AI Servo,2:AI Focus,3:Manual Focus,4:Single,5:Continuous,6:MF"},
    {"Image Size", 10, "0:Large,1:Medium,2:Small,4:5MPixel,5:2 MPixel,6:1.5 MPixel"},
    {"Easy Shoot", 11,
     "0:Full Auto,1:Manual,2:Landscape,3:Fast Shutter,4:Slow Shutter,5:Night,6:B&W,7:Sepia,8:Portrait,9:Sports,"
     "10:Macro/Close-Up,11:Pan Focus"},
    {"Contrast", 13, kLowNormalHigh},
    {"Saturation", 14, kLowNormalHigh},
    {"Sharpness", 15, kLowNormalHigh},
    {"CCD ISO", 16, "0:Not used,15:auto,16:50,17:100,18:200,19:400"},
    {"Metering Mode", 17, kLowNormalHigh},
    {"AF Point", 19, kLowNormalHigh},
    {"Exposure Mode", 20, kLowNormalHigh},
    {"Long focal", 23, nullptr},
    {"Short focal", 24, nullptr},
    {"Focal Units", 25, nullptr},
    {"Flash Details", 28, nullptr},
    {"Focus Mode", 32, kLowNormalHigh},
};

constexpr CanonItem kShotInformation[] = {
    {"White balance", 7, "0:Auto,1:Sunny,2:Cloudy,3:Tungsten,4:Flourescent,5:Flash,6:Custom"},
    {"Sequence Number", 8, nullptr},
    {"OpticalZoom Step", 10, nullptr},
    {"AF point", 13, nullptr},
    {"Flash bias", 15,
     "65472:-2 EV,65484:-1.67 EV,65488:-1.50 EV,65492:-1.33 EV,65504:-1 EV,65516:-0.67 EV,65520:-0.50 EV,"
     "65524:-0.33 EV,0:0 EV,12:0.33 EV,16:0.50 EV,20:0.67 EV,32:1 EV,44:1.33 EV,48:1.50 EV,52:1.67 EV,64:2 EV"},
    {"Distance", 18, nullptr},
};

struct CustomFunction {
  const char* name;
  const char* code_list;
};

// Functions 1 to 15; a value's function number is value div 256, its setting value mod 256.
constexpr CustomFunction kCustomFunctions[] = {
    {"Noise Reduction", "0: Off,1: On"},
    {"Shutter AE Lock Button", "0:AF/AE lock,1:AE lock/AF,2:AF/AF lock,3:AE+release/AE+AF"},
    {"Mirror Lockup", "0:Disable,1:Enable"},
    {"Exposure Level", "0:1/2 stop,1:1/3 stop"},
    {"AF Assist", "0:On (auto),1:Off"},
    {"AV Shutter Speed", "0:Automatic,1: 1/200 (fixed)"},
    {"AEB Sequence", "0:0, -, + / Enabled1: 0, -, + / Disabled,2: -, 0, + / Enabled,3: -, 0, + / Disabled"},
    {"Shutter Sync", "0:1st-curtain sync,1: 2nd-curtain sync"},
    {"Lens AF Button", "0:AF stop,1:Operate AF,2:Lock AE and start timer"},
    {"Fill Flash Reduction", "0:Enable,1:Disable"},
    {"Menu Return", "0:Top,1:Previous (volatile),2:Previous"},
    {"Set Button", "0:Not assigned,1:Change quality,2:Change ISO speed,3:Select parameters"},
    {"Sensor Cleaning", "0:Disable,1:Enable"},
    {"Superimposed Display", "0: On,1: Off"},
    {"Shutter Release w/o CF Card", "0:Enable,1:Disable"},
};

// The comma-separated fields of a text, each exactly as it stands.
// Views of `text`, which outlives them: a record of fifty numbers is cut without a string for each.
std::vector<std::string_view> Fields(std::string_view text) {
  std::vector<std::string_view> fields;
  size_t begin = 0;
  for (size_t comma = text.find(','); comma != std::string_view::npos; comma = text.find(',', begin)) {
    fields.push_back(text.substr(begin, comma - begin));
    begin = comma + 1;
  }
  fields.push_back(text.substr(begin));
  return fields;
}

bool IsBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

// Lists one named value and returns its line (when the walk reads it); a blank value lists nothing.
std::string AddValue(std::string_view name, std::string_view value, ReaderContext& context) {
  if (IsBlank(value)) return {};
  if (context.CurrentImageInfo != nullptr) context.CurrentImageInfo->AddNamedTag(name, value);
  if (!context.RecordLinesWanted) return {};
  std::string line;
  line.reserve(name.size() + value.size() + 5);
  line.append("\r\n").append(name).append(" = ").append(value);
  return line;
}

template <size_t N>
std::string RenderCanonRecord(const std::string& text, const CanonItem (&items)[N], ReaderContext& context) {
  context.SubRecordFlag = true;
  const std::vector<std::string_view> fields = Fields(text);
  std::string lines;
  for (const CanonItem& item : items) {
    const auto element = static_cast<size_t>(item.element);
    if (element >= fields.size()) continue;
    const std::string_view field = fields[element];
    if (item.code_list != nullptr) {
      lines += AddValue(item.name, DecodeCode(item.code_list, field), context);
    } else {
      lines += AddValue(item.name, field, context);
    }
  }
  return lines;
}

// The text of one element as a record's text has it: its digits, after the blank that follows the comma
// for every element but the first. Written into `buffer`, which holds any 32-bit integer and the blank.
std::string_view ElementText(std::array<char, 16>& buffer, int32_t value, bool after_comma) {
  buffer[0] = ' ';
  const auto written = std::to_chars(buffer.data() + 1, buffer.data() + buffer.size(), value);
  const char* begin = after_comma ? buffer.data() : buffer.data() + 1;
  return {begin, static_cast<size_t>(written.ptr - begin)};
}

void ListNamedValue(std::string_view name, std::string_view value, NamedTagSink& sink) {
  if (!IsBlank(value)) sink.AddNamedTag(name, value);
}

// `RenderCanonRecord`'s entries from the elements: the same item read, decoded the same way.
template <size_t N>
void ListCanonRecord(const RecordElements& elements, const CanonItem (&items)[N], NamedTagSink& sink) {
  std::array<char, 16> buffer{};
  for (const CanonItem& item : items) {
    const auto element = static_cast<size_t>(item.element);
    if (element >= elements.count || !sink.ListsName(item.name)) continue;
    const int32_t value = elements.At(element);
    if (item.code_list != nullptr) {
      ListNamedValue(item.name, DecodeCode(item.code_list, ElementText(buffer, value, false)), sink);
    } else {
      ListNamedValue(item.name, ElementText(buffer, value, element > 0), sink);
    }
  }
}

void ListCanonCameraSettings(const RecordElements& elements, NamedTagSink& sink) {
  ListCanonRecord(elements, kCameraSettings, sink);
}

void ListCanonShotInformation(const RecordElements& elements, NamedTagSink& sink) {
  ListCanonRecord(elements, kShotInformation, sink);
}

// `RenderCanonCustomFunctions` from the elements: all but the last, as there.
void ListCanonCustomFunctions(const RecordElements& elements, NamedTagSink& sink) {
  std::array<char, 16> buffer{};
  for (size_t k = 0; k + 1 < elements.count; ++k) {
    const int32_t value = elements.At(k);
    if (value < 0) continue;
    const int32_t function = value / 256;
    if (function < 1 || function > 15) continue;
    const CustomFunction& known = kCustomFunctions[function - 1];
    if (!sink.ListsName(known.name)) continue;
    ListNamedValue(known.name, DecodeCode(known.code_list, ElementText(buffer, value % 256, false)), sink);
  }
}

// The text cut at ", " into `count` parts; the last part keeps the rest, missing parts are empty.
std::vector<std::string_view> CutParts(std::string_view text, size_t count) {
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < count) {
    const size_t cut = text.find(", ");
    if (cut == std::string_view::npos) break;
    parts.push_back(text.substr(0, cut));
    text.remove_prefix(cut + 2);
  }
  parts.push_back(text);
  parts.resize(count);
  return parts;
}

}  // namespace

int32_t RecordElements::At(size_t index) const {
  const auto size = static_cast<size_t>(element_size);
  return ReadIntegerInOrder(raw.substr(index * size, size), big_endian);
}

MakerRecordLister RecordListerOf(std::string (*renderer)(const std::string&, ReaderContext&)) {
  if (renderer == RenderCanonCameraSettings) return ListCanonCameraSettings;
  if (renderer == RenderCanonShotInformation) return ListCanonShotInformation;
  if (renderer == RenderCanonCustomFunctions) return ListCanonCustomFunctions;
  return nullptr;
}

std::string RenderCanonCameraSettings(const std::string& text, ReaderContext& context) {
  return RenderCanonRecord(text, kCameraSettings, context);
}

std::string RenderCanonShotInformation(const std::string& text, ReaderContext& context) {
  return RenderCanonRecord(text, kShotInformation, context);
}

std::string RenderCanonCustomFunctions(const std::string& text, ReaderContext& context) {
  context.SubRecordFlag = true;
  std::vector<std::string_view> fields = Fields(text);
  fields.pop_back();  // the last element is never looked at
  std::string lines;
  for (const std::string_view field : fields) {
    const std::optional<int32_t> value = ParseInteger(field);
    if (!value || *value < 0) continue;
    const int32_t function = *value / 256;
    if (function < 1 || function > 15) continue;
    const CustomFunction& known = kCustomFunctions[function - 1];
    lines += AddValue(known.name, DecodeCode(known.code_list, std::to_string(*value % 256)), context);
  }
  return lines;
}

std::string RenderNikonLensInformation(const std::string& text, ReaderContext&) {
  const std::vector<std::string_view> parts = CutParts(text, 4);
  return FormatNumber("%0.1f", ParseFraction(parts[0])) + "-" + FormatNumber("%0.1f", ParseFraction(parts[1])) +
         "(mm)  F" + FormatNumber("%0.1f", ParseFraction(parts[2])) + "-F" +
         FormatNumber("%0.1f", ParseFraction(parts[3]));
}

std::string RenderNikonColourMode(const std::string& text, ReaderContext&) {
  const std::string mode = text.substr(std::min<size_t>(1, text.size()), 5);
  if (mode == "MODE1") return "Mode1 (sRGB)";
  if (mode == "MODE2") return "Mode 2 (Adobe RGB)";
  if (mode == "MODE3") return "Mode 3 (sRGB): higher saturation";
  return mode;
}

}  // namespace lumetra
