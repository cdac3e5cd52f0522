#pragma once

#include <string>

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

/// Nikon lens information, four rationals: "18.0-70.0(mm)  F3.5-F4.5".
[[nodiscard]] std::string RenderNikonLensInformation(const std::string& text, ReaderContext& context);
/// Nikon colour mode: "MODE1" gives "Mode1 (sRGB)", ...; other texts as they are.
[[nodiscard]] std::string RenderNikonColourMode(const std::string& text, ReaderContext& context);

}  // namespace lumetra
