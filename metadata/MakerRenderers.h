#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "metadata/ReaderContext.h"

namespace lumetra {

// Canon records: each takes the rendered text of a SHORT array ("94, 2, 0, ..."), lists the values it
// knows as named entries on the context's current reader, sets the context's `SubRecordFlag`, and returns
// the lines "\r\n" + name + " = " + value of what it listed.

/// Camera settings (tag 0x0001): macro, drive and focus mode, long and short focal length, ...
[[nodiscard]] std::string RenderCanonCameraSettings(const std::string& text, ReaderContext& context);
/// Shot information (tag 0x0004): white balance, sequence number, flash bias, ...
[[nodiscard]] std::string RenderCanonShotInformation(const std::string& text, ReaderContext& context);
/// Custom functions (tag 0x000F): each value is function number × 256 + setting.
[[nodiscard]] std::string RenderCanonCustomFunctions(const std::string& text, ReaderContext& context);

/// The integer elements of a record as the note stores them: the numbers a record renderer reads from its
/// text, each the element `FormatValue` writes at that place.
struct RecordElements {
  std::string_view raw;
  int element_size = 0;
  /// As many as `FormatValue` writes (`RenderedElementCount`).
  size_t count = 0;
  bool big_endian = false;

  [[nodiscard]] int32_t At(size_t index) const;
};

/// Lists the named entries a Canon record renderer lists, the same texts in the same order, read from the
/// record's elements instead of its rendered text, and decoding only the names `sink` lists: for a read
/// that shows no record lines (the survey's).
using MakerRecordLister = void (*)(const RecordElements& elements, NamedTagSink& sink);
/// The lister of a record renderer; null for a renderer that is no Canon record.
/// (The renderer is a maker table's `MakerRenderer`, spelled out: the tables include this file.)
[[nodiscard]] MakerRecordLister RecordListerOf(std::string (*renderer)(const std::string&, ReaderContext&));

/// Nikon lens information, four rationals: "18.0-70.0(mm)  F3.5-F4.5".
[[nodiscard]] std::string RenderNikonLensInformation(const std::string& text, ReaderContext& context);
/// Nikon colour mode: "MODE1" gives "Mode1 (sRGB)", ...; other texts as they are.
[[nodiscard]] std::string RenderNikonColourMode(const std::string& text, ReaderContext& context);

}  // namespace lumetra
