#include "metadata/ValueRendering.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "metadata/EndianReader.h"
#include "metadata/ReaderError.h"
#include "metadata/TiffTypes.h"
#include "numbers/NumberFormat.h"
#include "text/TrimmedText.h"

namespace lumetra {
namespace {

constexpr size_t kMaxElements = 128;
constexpr size_t kPrintableLength = 50;

// Copyright holds the photographer's and the editor's notice separated by a zero byte; both are shown.
constexpr uint16_t kTagCopyright = 0x8298;

// 2^63: the first double beyond the 64-bit integer range.
constexpr double kInt64Limit = 9223372036854775808.0;

bool IsRationalType(int type) { return type == tiff_type::kRational || type == tiff_type::kSRational; }

// A format that shows the value as one number ("%5.2f", "F%0.1f") rather than the elements' text ("%s mm").
bool FormatsAsNumber(std::string_view format) { return !format.empty() && format.find("%s") == std::string_view::npos; }

// One half of a rational element: RATIONAL (5) is unsigned, SRATIONAL (10) two's complement. Read as signed,
// a RATIONAL of 0xFFFFFFFF/1 would be -1.
int64_t RationalPart(std::string_view four_bytes, int type, bool big_endian) {
  const int32_t value = ReadIntegerInOrder(four_bytes, big_endian);
  return type == tiff_type::kRational ? static_cast<int64_t>(static_cast<uint32_t>(value)) : value;
}

// Appends `value` in decimal digits, without a string of its own.
void AppendInteger(std::string& text, int64_t value) {
  std::array<char, 24> digits{};
  const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), value);
  text.append(digits.data(), written.ptr);
}

// Appends the text of one rational element: numerator and denominator as stored, not reduced.
void AppendRationalText(std::string& text, std::string_view element, int type, bool big_endian) {
  AppendInteger(text, RationalPart(element.substr(0, 4), type, big_endian));
  text += '/';
  AppendInteger(text, RationalPart(element.substr(4, 4), type, big_endian));
}

double FloatValue(std::string_view raw, int type, bool big_endian) {
  const size_t size = type == tiff_type::kFloat ? 4 : 8;
  if (raw.size() < size) return 0;
  uint64_t bits = 0;
  for (size_t k = 0; k < size; ++k) {
    const size_t index = big_endian ? k : size - 1 - k;
    bits = (bits << 8) | static_cast<uint8_t>(raw[index]);
  }
  if (type == tiff_type::kFloat) {
    const auto narrow = static_cast<uint32_t>(bits);
    float value = 0;
    std::memcpy(&value, &narrow, sizeof value);
    return value;
  }
  double value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// `value` with `precision` decimals; a failure is the reader's.
std::string FixedText(double value, int precision) {
  try {
    return FixedDecimals(value, precision);
  } catch (const NumberFormatError& error) {
    throw ReaderError(error.what());
  }
}

// The text cut at ", " into three parts; missing parts are empty and read as 0.
std::vector<std::string_view> ThreeParts(std::string_view text) {
  std::vector<std::string_view> parts;
  for (int k = 0; k < 2; ++k) {
    const size_t cut = text.find(", ");
    if (cut == std::string_view::npos) break;
    parts.push_back(text.substr(0, cut));
    text.remove_prefix(cut + 2);
  }
  parts.push_back(text);
  parts.resize(3);
  return parts;
}

// `text` replaced by `format` with its "%s" replaced by the text, as FormatText writes it, in the text's own
// storage.
void PutIntoFormat(std::string& text, std::string_view format) {
  const size_t at = format.find("%s");
  if (at == std::string_view::npos) {
    text.assign(format);
    return;
  }
  text.insert(0, format.substr(0, at));
  text.append(format.substr(at + 2));
}

}  // namespace

int ElementSize(int type) {
  using namespace tiff_type;
  switch (type) {
    case 0:
      return 0;
    case kByte:
    case kAscii:
    case kSByte:
    case kUndefined:
      return 1;
    case kShort:
    case kSShort:
      return 2;
    case kLong:
    case kSLong:
    case kFloat:
      return 4;
    case kRational:
    case kSRational:
    case kDouble:
      return 8;
    default:
      throw ReaderError("unknown field type " + std::to_string(type));
  }
}

void RenderValueInto(std::string& text, std::string_view raw, int type, const TTagEntry& row, bool big_endian) {
  if (type == tiff_type::kAscii) {
    // An ASCII value ends at its first zero byte; what follows is padding or leftovers of an older value.
    if (row.Tag == kTagCopyright) {
      if (!raw.empty() && raw.back() == '\0') raw.remove_suffix(1);
    } else {
      raw = raw.substr(0, raw.find('\0'));
    }
    text.assign(raw);
  } else if (type == tiff_type::kUndefined) {
    text.assign(1, '"');
    text.append(raw.substr(0, raw.find('\0')));
    text += '"';
  } else {
    FormatValueInto(text, raw, type, row.CodeList, row.FormatString, big_endian);
  }
  if (row.Tag != 0 && row.Renderer != nullptr) {
    try {
      // Copied rather than moved in, so that the text keeps its own storage.
      const std::string rendered = row.Renderer(text);
      text.assign(rendered);
      return;
    } catch (const ReaderError&) {
      // A value the renderer cannot read (a short ComponentsConfiguration, a Flash of several elements)
      // costs this entry its rendering only: it is shown as an entry without a renderer would be.
    }
  }
  // The text made here is made printable where it stands.
  if (text.size() > kPrintableLength) text.resize(kPrintableLength);
  for (char& c : text) {
    if (static_cast<uint8_t>(c) < 32) c = '.';
  }
}

std::string RenderValue(std::string_view raw, int type, const TTagEntry& row, bool big_endian) {
  std::string text;
  RenderValueInto(text, raw, type, row, big_endian);
  return text;
}

void CheckRenderable(std::string_view raw, int type, const TTagEntry& row, bool big_endian) {
  // Texts are never formatted, and a renderer's failure only costs the entry its rendering: what can
  // fail is the number format FormatValue applies.
  if (!FormatsAsNumber(row.FormatString) || type == tiff_type::kAscii || type == tiff_type::kUndefined) return;
  if (ElementSize(type) == 0) return;
  const double value = NumericValue(raw, type, big_endian);
  if (!NumberFormatApplies(row.FormatString, value)) static_cast<void>(FormatNumber(row.FormatString, value));
}

bool IsIntegerType(int type) {
  using namespace tiff_type;
  return type == kByte || type == kShort || type == kLong || type == kSByte || type == kSShort || type == kSLong;
}

size_t RenderedElementCount(std::string_view raw, int type) {
  const int size = ElementSize(type);
  if (size == 0) return 0;
  return std::min(raw.size() / static_cast<size_t>(size), kMaxElements);
}

void FormatValueInto(std::string& text, std::string_view raw, int type, std::string_view code_list,
                     std::string_view format_string, bool big_endian) {
  const int size = ElementSize(type);
  if (size == 0) {
    text.assign(1, '0');
    return;
  }
  // A number format shows the value alone, so the elements' text is not built for it.
  if (FormatsAsNumber(format_string)) {
    text.assign(FormatNumber(format_string, NumericValue(raw, type, big_endian)));
    return;
  }
  const size_t count = RenderedElementCount(raw, type);
  text.clear();
  for (size_t k = 0; k < count; ++k) {
    if (!text.empty()) text += ", ";
    const std::string_view element = raw.substr(k * static_cast<size_t>(size), static_cast<size_t>(size));
    if (type == tiff_type::kAscii || type == tiff_type::kUndefined) {
      text += '?';
    } else if (IsIntegerType(type)) {
      const int32_t value = ReadIntegerInOrder(element, big_endian);
      if (code_list.empty()) {
        AppendInteger(text, value);
      } else {
        std::array<char, 16> digits{};
        const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), value);
        text += DecodedText(code_list, std::string_view(digits.data(), written.ptr));
      }
    } else if (IsRationalType(type)) {
      AppendRationalText(text, element, type, big_endian);
    } else {
      text += "-9999.99";
    }
  }
  if (!format_string.empty()) PutIntoFormat(text, format_string);
}

std::string FormatValue(std::string_view raw, int type, std::string_view code_list, std::string_view format_string,
                        bool big_endian) {
  std::string text;
  FormatValueInto(text, raw, type, code_list, format_string, big_endian);
  return text;
}

double NumericValue(std::string_view raw, int type, bool big_endian, bool numerator_mode) {
  if (IsRationalType(type)) {
    if (raw.size() < 8) return 0;
    const int64_t numerator = RationalPart(raw.substr(0, 4), type, big_endian);
    if (numerator_mode) {
      const std::string digits = std::to_string(numerator);
      if (digits.size() <= 3) throw ReaderError("resolution numerator " + digits + " has no pixel count");
      const std::optional<int32_t> pixels = ParseInteger(std::string_view(digits).substr(0, digits.size() - 3));
      if (!pixels) throw ReaderError("resolution numerator " + digits + " has no pixel count");
      return *pixels;
    }
    const int64_t denominator = RationalPart(raw.substr(4, 4), type, big_endian);
    if (denominator == 0) return 0;
    return static_cast<double>(numerator) / denominator;
  }
  if (numerator_mode) return 0;
  if (IsIntegerType(type)) return ReadIntegerInOrder(raw, big_endian);
  if (type == tiff_type::kFloat || type == tiff_type::kDouble) return FloatValue(raw, type, big_endian);
  return 0;
}

std::string_view DecodedText(std::string_view code_list, std::string_view value) {
  // Every integer of a coded entry asks, so the list is searched where it stands rather than copied.
  const std::string_view code = TrimmedText(value);
  for (size_t item = 0; item <= code_list.size();) {
    const std::string_view rest = code_list.substr(item);
    if (rest.size() > code.size() && rest.starts_with(code) && rest[code.size()] == ':') {
      const std::string_view text = rest.substr(code.size() + 1);
      return text.substr(0, text.find(','));
    }
    const size_t comma = rest.find(',');
    if (comma == std::string_view::npos) break;
    item += comma + 1;
  }
  return {};
}

std::string DecodeCode(std::string_view code_list, std::string_view value) {
  return std::string(DecodedText(code_list, value));
}

std::string MakePrintable(std::string_view text) {
  std::string printable(text.substr(0, kPrintableLength));
  for (char& c : printable) {
    if (static_cast<uint8_t>(c) < 32) c = '.';
  }
  return printable;
}

std::string FormatNumber(std::string_view format, double value) {
  try {
    return ApplyNumberFormat(format, value);
  } catch (const NumberFormatError& error) {
    throw ReaderError(error.what());
  }
}

int32_t RoundToInt32(double value) {
  const std::optional<int32_t> rounded = RoundedInt32(value);
  if (!rounded) throw ReaderError("value " + FixedText(value, 2) + " is outside the 32-bit range");
  return *rounded;
}

std::string RenderFlash(const std::string& text) {
  const std::optional<int32_t> value = ParseInteger(text);
  if (!value) throw ReaderError("flash value '" + text + "' is not one integer");
  return *value % 2 != 0 ? "On" : "Off";
}

std::string RenderShutterSpeed(const std::string& text) {
  const double tv = ParseFraction(text);
  const double seconds = std::pow(2.0, -tv);
  std::string result = FormatNumber("%4.4f sec", seconds);
  if (seconds <= 0.5) {
    // tv of 31 and more gives 1/t beyond 32 bits; from 63 on beyond 64 bits, and 1/t is infinite once
    // 2^-tv rounds to 0. Such a speed is shown in seconds only.
    const double inverse = std::nearbyint(1.0 / seconds);
    if (std::isfinite(inverse) && inverse < kInt64Limit) {
      result += " (1/" + std::to_string(static_cast<int64_t>(inverse)) + ")";
    }
  }
  return result;
}

std::string RenderComponents(const std::string& text) {
  if (text.size() < 5) throw ReaderError("components value '" + text + "' is too short");
  static constexpr const char* kNames[] = {"", "Y", "Cb", "Cr", "R", "G", "B"};
  std::string result;
  for (size_t k = 1; k <= 4; ++k) {
    const auto code = static_cast<uint8_t>(text[k]);
    if (code >= 1 && code <= 6) result += kNames[code];
  }
  return result;
}

std::string RenderWideText(const std::string& text) {
  std::vector<std::string_view> fields;
  std::string_view rest = text;
  for (size_t comma = rest.find(','); comma != std::string_view::npos; comma = rest.find(',')) {
    fields.push_back(rest.substr(0, comma));
    rest.remove_prefix(comma + 1);
  }
  // The last field is never read: with c commas, fields 1, 3, 5, ... up to c (1-based) are the low bytes.
  std::string result;
  for (size_t k = 0; k < fields.size(); k += 2) {
    const std::optional<int32_t> code = ParseInteger(fields[k]);
    if (!code) throw ReaderError("wide text element '" + std::string(fields[k]) + "' is not a number");
    const auto low = static_cast<uint8_t>(*code & 0xFF);
    if (low != 0) result += static_cast<char>(low);
  }
  return result;
}

std::string RenderDegrees(const std::string& text) {
  const std::vector<std::string_view> parts = ThreeParts(text);
  double degrees = ParseFraction(parts[0]);
  double minutes = ParseFraction(parts[1]);
  double seconds = ParseFraction(parts[2]);
  if (seconds == 0) {
    const double whole = std::trunc(minutes);
    seconds = (minutes - whole) * 60;
    minutes = whole;
  }
  return FixedText(degrees, 0) + " Degrees " + FixedText(minutes, 0) + " Minutes " + FixedText(seconds, 0) + " Seconds";
}

std::string RenderTime(const std::string& text) {
  const std::vector<std::string_view> parts = ThreeParts(text);
  return FixedText(ParseFraction(parts[0]), 0) + ":" + FixedText(ParseFraction(parts[1]), 0) + ":" +
         FixedText(ParseFraction(parts[2]), 0);
}

std::string RenderUserComment(const std::string& text) { return text.substr(std::min<size_t>(8, text.size())); }

}  // namespace lumetra
