#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "metadata/TagEntry.h"
// The number rules the renderers read and write their texts with: ParseInteger, ParseFraction, FormatText.
#include "numbers/NumberFormat.h"

namespace lumetra {

/// Size in bytes of one element of TIFF field type `type`: 0 for type 0; throws `ReaderError` above 12.
[[nodiscard]] int ElementSize(int type);

/// The text of one directory value: ASCII up to its first 0 (Copyright: all its bytes but a final 0, so
/// both its notices show), UNDEFINED quoted up to its first 0, anything else through `FormatValue`; then
/// the row's renderer, or `MakePrintable` when the row has none or its renderer cannot read the text.
/// Throws `ReaderError` when the type is above 12 or a format cannot be applied.
[[nodiscard]] std::string RenderValue(std::string_view raw, int type, const TTagEntry& row, bool big_endian);
/// `RenderValue` written into `text`, which keeps its storage: a reader kept from file to file renders into
/// strings that already have room. `text` is left unspecified when it throws.
void RenderValueInto(std::string& text, std::string_view raw, int type, const TTagEntry& row, bool big_endian);

/// Throws exactly where `RenderValue` would, without building the text: only a number format (a "%d" of a
/// value beyond 32 bits, ...) can fail a rendering.
void CheckRenderable(std::string_view raw, int type, const TTagEntry& row, bool big_endian);

/// Whether TIFF field type `type` holds integers: BYTE, SHORT, LONG and their signed kinds.
[[nodiscard]] bool IsIntegerType(int type);

/// How many elements `FormatValue` writes of a value: all it holds, at most 128; 0 for type 0. Throws
/// `ReaderError` when the type is above 12.
[[nodiscard]] size_t RenderedElementCount(std::string_view raw, int type);

/// Elements (at most 128) joined by ", ": integers decoded through `code_list` when it is set, rationals
/// as "num/den", FLOAT and DOUBLE as "-9999.99"; then `format_string` applied to the text ("%s") or to
/// the value.
[[nodiscard]] std::string FormatValue(std::string_view raw, int type, std::string_view code_list,
                                      std::string_view format_string, bool big_endian);
/// `FormatValue` written into `text`, which keeps its storage.
void FormatValueInto(std::string& text, std::string_view raw, int type, std::string_view code_list,
                     std::string_view format_string, bool big_endian);

/// The value as a number: integers are all their bytes read as one number, rationals the first
/// element's ratio (0 for a zero denominator), FLOAT and DOUBLE their first element, other types 0.
/// With `numerator_mode`, a rational gives its numerator without its last three decimal digits (pixel
/// count × 1000 over sensor size gives the pixel count) and throws `ReaderError` when nothing is left;
/// other types then give 0.
[[nodiscard]] double NumericValue(std::string_view raw, int type, bool big_endian, bool numerator_mode = false);

/// The text of `value` in a "code:text,code:text" list; empty when the code is not there. Only items whose
/// code follows the comma directly are found.
[[nodiscard]] std::string DecodeCode(std::string_view code_list, std::string_view value);
/// `DecodeCode` as a view into `code_list`.
[[nodiscard]] std::string_view DecodedText(std::string_view code_list, std::string_view value);

/// The first 50 characters of `text`, control characters (0 to 31) shown as ".".
[[nodiscard]] std::string MakePrintable(std::string_view text);

/// `format` applied to a number as `ApplyNumberFormat` does; throws `ReaderError` where it refuses.
[[nodiscard]] std::string FormatNumber(std::string_view format, double value);

/// Nearest integer, halves to even; throws `ReaderError` for a value outside the 32-bit range.
[[nodiscard]] int32_t RoundToInt32(double value);

// The special renderers of the tag tables. All but the shutter-speed one throw `ReaderError` on a text
// they cannot read.

/// "On" for an odd value, "Off" for an even one.
[[nodiscard]] std::string RenderFlash(const std::string& text);
/// APEX shutter speed as "0.0039 sec (1/256)"; the "(1/N)" part only for half a second and less, and
/// only when N fits in 64 bits. Never throws.
[[nodiscard]] std::string RenderShutterSpeed(const std::string& text);
/// Component codes as "YCbCr", "RGB", ...
[[nodiscard]] std::string RenderComponents(const std::string& text);
/// The low bytes of a UTF-16 text stored as BYTE values (Windows title, keywords, ...).
[[nodiscard]] std::string RenderWideText(const std::string& text);
/// Degrees, minutes, seconds of a GPS latitude or longitude.
[[nodiscard]] std::string RenderDegrees(const std::string& text);
/// A GPS time of day as "h:m:s".
[[nodiscard]] std::string RenderTime(const std::string& text);
/// Drops the 8-character code prefix of a user comment.
[[nodiscard]] std::string RenderUserComment(const std::string& text);

}  // namespace lumetra
