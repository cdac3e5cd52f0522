#include "metadata/XmpPacket.h"

#include <cstdint>
#include <optional>

namespace lumetra {
namespace {

constexpr std::string_view kXmlBlanks = " \t\r\n";

bool IsXmlBlank(char c) { return kXmlBlanks.find(c) != std::string_view::npos; }

std::string_view TrimmedXml(std::string_view text) {
  const size_t first = text.find_first_not_of(kXmlBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kXmlBlanks) - first + 1);
}

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | code >> 12);
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | code >> 18);
    out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The character a numeric reference ("#65", "#x41") names; nullopt for one XML does not allow.
std::optional<uint32_t> CharacterReference(std::string_view reference) {
  reference.remove_prefix(1);
  const bool hex = !reference.empty() && reference.front() == 'x';
  if (hex) reference.remove_prefix(1);
  // Seven digits hold every code point; more are a hostile packet's, not a character.
  if (reference.empty() || reference.size() > 7) return std::nullopt;
  uint32_t code = 0;
  for (const char c : reference) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    code = code * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
  }
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  if (code == 0 || surrogate || code > 0x10FFFF) return std::nullopt;
  return code;
}

// `text` with its entities decoded; nullopt when one is unknown or unterminated, or markup stands in it.
std::optional<std::string> DecodedXml(std::string_view text) {
  struct Entity {
    std::string_view name;
    char character;
  };
  static constexpr Entity kEntities[] = {
      {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''},
  };
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const size_t special = text.find_first_of("&<");
    out.append(text.substr(0, special));
    if (special == std::string_view::npos) break;
    if (text[special] == '<') return std::nullopt;
    text.remove_prefix(special + 1);
    const size_t end = text.find(';');
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view reference = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (reference.starts_with('#')) {
      const std::optional<uint32_t> code = CharacterReference(reference);
      if (!code) return std::nullopt;
      AppendUtf8(out, *code);
      continue;
    }
    bool known = false;
    for (const Entity& entity : kEntities) {
      if (reference != entity.name) continue;
      out += entity.character;
      known = true;
    }
    if (!known) return std::nullopt;
  }
  return out;
}

std::string Decoded(std::string_view raw) {
  const std::optional<std::string> decoded = DecodedXml(raw);
  return decoded ? std::string(TrimmedXml(*decoded)) : std::string();
}

// The text of an element's content: itself when it is plain text, else the first rdf:li inside it.
std::optional<std::string_view> ElementText(std::string_view content) {
  if (content.find('<') == std::string_view::npos) return content;
  constexpr std::string_view kItem = "<rdf:li";
  constexpr std::string_view kItemEnd = "</rdf:li>";
  const size_t item = content.find(kItem);
  if (item == std::string_view::npos) return std::nullopt;
  content.remove_prefix(item + kItem.size());
  const size_t open_end = content.find('>');
  // "<rdf:li>" or "<rdf:li xml:lang=...>", never "<rdf:lists>" nor an empty "<rdf:li/>".
  if (open_end == std::string_view::npos || (open_end > 0 && !IsXmlBlank(content.front()))) return std::nullopt;
  if (open_end > 0 && content[open_end - 1] == '/') return std::nullopt;
  content.remove_prefix(open_end + 1);
  const size_t end = content.find(kItemEnd);
  if (end == std::string_view::npos) return std::nullopt;
  return content.substr(0, end);
}

}  // namespace

std::string XmpProperty(std::string_view packet, std::string_view name) {
  if (name.empty()) return {};
  // The namespace's first letter ("e", "a") stands every few bytes of a packet, the local name's capital
  // ("L" of "aux:Lens") seldom: the local name is looked for, and the prefix before it checked.
  const size_t colon = name.find(':');
  const size_t prefix = colon == std::string_view::npos ? 0 : colon + 1;
  const std::string_view local = name.substr(prefix);
  const auto find_from = [&](size_t from) {
    for (size_t hit = packet.find(local, from + prefix); hit != std::string_view::npos;
         hit = packet.find(local, hit + 1)) {
      if (packet.substr(hit - prefix, prefix) == name.substr(0, prefix)) return hit - prefix;
    }
    return std::string_view::npos;
  };
  for (size_t at = find_from(0); at != std::string_view::npos; at = find_from(at + 1)) {
    if (at == 0) continue;
    const char before = packet[at - 1];
    std::string_view rest = packet.substr(at + name.size());
    if (before == '<') {
      // An element: "<aux:Lens>text</aux:Lens>" or "<aux:Lens attributes>...</aux:Lens>".
      if (rest.empty() || (rest.front() != '>' && rest.front() != '/' && !IsXmlBlank(rest.front()))) continue;
      const size_t open_end = rest.find('>');
      if (open_end == std::string_view::npos) return {};
      if (open_end > 0 && rest[open_end - 1] == '/') return {};  // an empty element
      rest.remove_prefix(open_end + 1);
      const std::string close = "</" + std::string(name) + ">";
      const size_t end = rest.find(close);
      if (end == std::string_view::npos) return {};
      const std::optional<std::string_view> text = ElementText(rest.substr(0, end));
      return text ? Decoded(*text) : std::string();
    }
    if (!IsXmlBlank(before)) continue;
    // An attribute: aux:Lens="text", or in single quotes, with blanks allowed around "=".
    const size_t equals = rest.find_first_not_of(kXmlBlanks);
    if (equals == std::string_view::npos || rest[equals] != '=') continue;
    rest.remove_prefix(equals + 1);
    const size_t quote = rest.find_first_not_of(kXmlBlanks);
    if (quote == std::string_view::npos || (rest[quote] != '"' && rest[quote] != '\'')) return {};
    const char quote_mark = rest[quote];
    rest.remove_prefix(quote + 1);
    const size_t end = rest.find(quote_mark);
    if (end == std::string_view::npos) return {};
    return Decoded(rest.substr(0, end));
  }
  return {};
}

}  // namespace lumetra
