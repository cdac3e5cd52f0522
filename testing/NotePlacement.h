#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "testing/ExifWriter.h"

namespace lumetra::testing {

/// A maker note's bytes given the TIFF offset it will stand at (makers that count offsets from the TIFF
/// header need it; the others ignore it).
using NoteAt = std::function<std::string(uint32_t tiff_offset)>;

/// IFD0 of a photo holding `note` as its MakerNote (somewhere in its Exif directory).
using Ifd0WithNote = std::function<Ifd(const std::string& note)>;

/// An Exif APP1 payload ("Exif\0\0" and the TIFF structure) of `ifd0` holding the note built for the TIFF
/// offset where it lands. The note's size must not depend on its offset: it is laid out twice, once as a
/// stand-in of that size to learn where it lands, once for real.
[[nodiscard]] std::string PayloadWithNote(const Ifd0WithNote& ifd0, ByteOrder order, const NoteAt& note);

}  // namespace lumetra::testing
