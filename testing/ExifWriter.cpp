#include "testing/ExifWriter.h"

#include <limits>
#include <stdexcept>
#include <utility>

namespace lumetra::testing {

uint32_t ElementSize(uint16_t type) {
  switch (type) {
    case field_type::kByte:
    case field_type::kAscii:
    case field_type::kSByte:
    case field_type::kUndefined:
      return 1;
    case field_type::kShort:
    case field_type::kSShort:
      return 2;
    case field_type::kLong:
    case field_type::kSLong:
    case field_type::kFloat:
      return 4;
    case field_type::kRational:
    case field_type::kSRational:
    case field_type::kDouble:
      return 8;
    default:
      return 0;
  }
}

ByteWriter& ByteWriter::Put8(uint8_t value) {
  bytes_.push_back(static_cast<char>(value));
  return *this;
}

ByteWriter& ByteWriter::Put16(uint16_t value) {
  if (order_ == ByteOrder::kBig) {
    return Put8(static_cast<uint8_t>(value >> 8)).Put8(static_cast<uint8_t>(value));
  }
  return Put8(static_cast<uint8_t>(value)).Put8(static_cast<uint8_t>(value >> 8));
}

ByteWriter& ByteWriter::Put32(uint32_t value) {
  if (order_ == ByteOrder::kBig) {
    return Put16(static_cast<uint16_t>(value >> 16)).Put16(static_cast<uint16_t>(value));
  }
  return Put16(static_cast<uint16_t>(value)).Put16(static_cast<uint16_t>(value >> 16));
}

ByteWriter& ByteWriter::PutBytes(std::string_view bytes) {
  bytes_.append(bytes);
  return *this;
}

ByteWriter& ByteWriter::AlignToWord() {
  if (bytes_.size() % 2 != 0) Put8(0);
  return *this;
}

void ByteWriter::Patch16(std::size_t pos, uint16_t value) {
  if (pos > bytes_.size() || bytes_.size() - pos < 2) throw std::out_of_range("ByteWriter::Patch16 past the end");
  ByteWriter encoded(order_);
  encoded.Put16(value);
  bytes_.replace(pos, 2, encoded.str());
}

void ByteWriter::Patch32(std::size_t pos, uint32_t value) {
  if (pos > bytes_.size() || bytes_.size() - pos < 4) throw std::out_of_range("ByteWriter::Patch32 past the end");
  ByteWriter encoded(order_);
  encoded.Put32(value);
  bytes_.replace(pos, 4, encoded.str());
}

Ifd& Ifd::AddUnits(uint16_t tag, uint16_t type, uint32_t count, uint8_t unit_size, std::vector<uint32_t> units) {
  Entry entry;
  entry.tag = tag;
  entry.type = type;
  entry.count = count;
  entry.unit_size = unit_size;
  entry.units = std::move(units);
  entries_.push_back(std::move(entry));
  return *this;
}

Ifd& Ifd::Ascii(uint16_t tag, std::string_view text) {
  std::string bytes(text);
  bytes.push_back('\0');
  return Raw(tag, field_type::kAscii, static_cast<uint32_t>(bytes.size()), bytes);
}

Ifd& Ifd::AsciiExact(uint16_t tag, std::string_view bytes) {
  return Raw(tag, field_type::kAscii, static_cast<uint32_t>(bytes.size()), bytes);
}

Ifd& Ifd::Byte(uint16_t tag, std::vector<uint8_t> values) {
  return AddUnits(tag, field_type::kByte, static_cast<uint32_t>(values.size()), 1,
                  std::vector<uint32_t>(values.begin(), values.end()));
}

Ifd& Ifd::Short(uint16_t tag, std::vector<uint16_t> values) {
  return AddUnits(tag, field_type::kShort, static_cast<uint32_t>(values.size()), 2,
                  std::vector<uint32_t>(values.begin(), values.end()));
}

Ifd& Ifd::Long(uint16_t tag, std::vector<uint32_t> values) {
  const auto count = static_cast<uint32_t>(values.size());
  return AddUnits(tag, field_type::kLong, count, 4, std::move(values));
}

Ifd& Ifd::SShort(uint16_t tag, std::vector<int16_t> values) {
  std::vector<uint32_t> units;
  for (int16_t v : values) units.push_back(static_cast<uint16_t>(v));
  return AddUnits(tag, field_type::kSShort, static_cast<uint32_t>(values.size()), 2, std::move(units));
}

Ifd& Ifd::SLong(uint16_t tag, std::vector<int32_t> values) {
  std::vector<uint32_t> units;
  for (int32_t v : values) units.push_back(static_cast<uint32_t>(v));
  return AddUnits(tag, field_type::kSLong, static_cast<uint32_t>(values.size()), 4, std::move(units));
}

namespace {

std::vector<uint32_t> FractionUnits(const std::vector<Rational>& values) {
  std::vector<uint32_t> units;
  for (const Rational& r : values) {
    units.push_back(static_cast<uint32_t>(r.num));
    units.push_back(static_cast<uint32_t>(r.den));
  }
  return units;
}

}  // namespace

Ifd& Ifd::Rationals(uint16_t tag, std::vector<Rational> values) {
  return AddUnits(tag, field_type::kRational, static_cast<uint32_t>(values.size()), 4, FractionUnits(values));
}

Ifd& Ifd::SRationals(uint16_t tag, std::vector<Rational> values) {
  return AddUnits(tag, field_type::kSRational, static_cast<uint32_t>(values.size()), 4, FractionUnits(values));
}

Ifd& Ifd::Undefined(uint16_t tag, std::string_view bytes) {
  return Raw(tag, field_type::kUndefined, static_cast<uint32_t>(bytes.size()), bytes);
}

Ifd& Ifd::Raw(uint16_t tag, uint16_t type, uint32_t count, std::string_view value_bytes) {
  Entry entry;
  entry.tag = tag;
  entry.type = type;
  entry.count = count;
  entry.bytes = std::string(value_bytes);
  entries_.push_back(std::move(entry));
  return *this;
}

Ifd& Ifd::RawField(uint16_t tag, uint16_t type, uint32_t count, uint32_t value_or_offset) {
  Entry entry;
  entry.tag = tag;
  entry.type = type;
  entry.count = count;
  entry.kind = Kind::kField;
  entry.field = value_or_offset;
  entries_.push_back(std::move(entry));
  return *this;
}

Ifd& Ifd::Sub(uint16_t tag, Ifd child) {
  Entry entry;
  entry.tag = tag;
  entry.type = field_type::kLong;
  entry.count = 1;
  entry.kind = Kind::kSub;
  entry.child = children_.size();
  children_.push_back(std::move(child));
  entries_.push_back(std::move(entry));
  return *this;
}

Ifd& Ifd::Next(Ifd next) {
  next_.clear();
  next_.push_back(std::move(next));
  return *this;
}

namespace detail {

struct IfdLayout {
  // Appends the directory at the next even offset, then its values, sub-directories and next directory.
  // Returns the directory's offset. Offsets are positions in `out` plus `shift` (a maker note whose
  // offsets count from somewhere other than its own first byte).
  static uint32_t Write(const Ifd& ifd, ByteWriter& out, int64_t shift = 0) {
    if (ifd.entries_.size() > std::numeric_limits<uint16_t>::max()) {
      throw std::length_error("a TIFF directory holds at most 65535 entries");
    }
    out.AlignToWord();
    const std::size_t start = out.size();
    out.Put16(static_cast<uint16_t>(ifd.entries_.size()));

    struct Pending {
      std::size_t field_pos;
      std::string data;
    };
    std::vector<Pending> values;
    std::vector<std::pair<std::size_t, std::size_t>> subs;  // field position, child index
    for (const Ifd::Entry& entry : ifd.entries_) {
      out.Put16(entry.tag).Put16(entry.type).Put32(entry.count);
      const std::size_t field_pos = out.size();
      switch (entry.kind) {
        case Ifd::Kind::kField:
          out.Put32(entry.field);
          break;
        case Ifd::Kind::kSub:
          out.Put32(0);
          subs.emplace_back(field_pos, entry.child);
          break;
        case Ifd::Kind::kValue: {
          std::string data = Encode(entry, out.order());
          if (data.size() <= 4) {
            data.resize(4, '\0');
            out.PutBytes(data);
          } else {
            out.Put32(0);
            values.push_back({field_pos, std::move(data)});
          }
          break;
        }
      }
    }
    const std::size_t next_pos = out.size();
    out.Put32(0);

    for (const Pending& value : values) {
      out.AlignToWord();
      out.Patch32(value.field_pos, Offset(out.size(), shift));
      out.PutBytes(value.data);
    }
    for (const auto& [field_pos, child] : subs) {
      out.Patch32(field_pos, Write(ifd.children_[child], out, shift));
    }
    if (!ifd.next_.empty()) out.Patch32(next_pos, Write(ifd.next_.front(), out, shift));
    return Offset(start, shift);
  }

  static std::string Encode(const Ifd::Entry& entry, ByteOrder order) {
    if (entry.unit_size == 0) return entry.bytes;
    ByteWriter data(order);
    for (uint32_t unit : entry.units) {
      switch (entry.unit_size) {
        case 1:
          data.Put8(static_cast<uint8_t>(unit));
          break;
        case 2:
          data.Put16(static_cast<uint16_t>(unit));
          break;
        default:
          data.Put32(unit);
          break;
      }
    }
    return data.str();
  }

  static uint32_t Offset(std::size_t pos, int64_t shift = 0) {
    const int64_t offset = static_cast<int64_t>(pos) + shift;
    if (offset < 0 || offset > std::numeric_limits<uint32_t>::max()) {
      throw std::length_error("TIFF offset outside 0 to 4 GiB");
    }
    return static_cast<uint32_t>(offset);
  }
};

}  // namespace detail

std::string BuildTiff(const Ifd& ifd0, ByteOrder order) {
  ByteWriter out(order);
  out.PutBytes(order == ByteOrder::kLittle ? "II" : "MM").Put16(42).Put32(8);
  detail::IfdLayout::Write(ifd0, out);
  return out.str();
}

std::string BuildMakerNote(const Ifd& directory, ByteOrder order, std::string_view header,
                           int64_t offset_of_first_byte) {
  ByteWriter out(order);
  out.PutBytes(header);
  detail::IfdLayout::Write(directory, out, offset_of_first_byte);
  return out.str();
}

std::string BuildExifPayload(const Ifd& ifd0, ByteOrder order) {
  return std::string("Exif\0\0", 6) + BuildTiff(ifd0, order);
}

}  // namespace lumetra::testing
