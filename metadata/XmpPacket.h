#pragma once

#include <string>
#include <string_view>

namespace lumetra {

/// The header an APP1 segment holding an XMP packet starts with; the packet follows it.
inline constexpr std::string_view kXmpHeader{"http://ns.adobe.com/xap/1.0/\0", 29};

/// The most bytes of XMP one APP1 segment can hold (its length field counts itself and the header).
inline constexpr size_t kMostXmpBytes = 65535 - 2 - kXmpHeader.size();

/// The value of the first property `name` ("aux:Lens") of an XMP packet, written as an attribute
/// (`aux:Lens="..."`) or an element (`<aux:Lens>...</aux:Lens>`, or the first `rdf:li` of a list or
/// alternative inside it), with its entities decoded and blanks around it trimmed. Empty when the packet
/// has no such property or its value is malformed (unterminated, an unknown entity, markup inside).
[[nodiscard]] std::string XmpProperty(std::string_view packet, std::string_view name);

}  // namespace lumetra
