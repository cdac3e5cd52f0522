#pragma once

// What every window of the program needs to turn the engine's texts and the design's fonts into Qt's.

#include <string_view>

#include <QFont>
#include <QString>

namespace lumetra {

/// An engine text (UTF-8) as a QString.
inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

/// The font `family` at `pixels` pixels high, as the windows were designed with.
inline QFont PixelFont(const QString& family, int pixels, bool bold = false) {
  QFont font(family);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

}  // namespace lumetra
