#pragma once

#include <cstdint>

#include <QIcon>
#include <QPixmap>

#include "survey/Labels.h"

namespace lumetra {

/// Which lamps of the signal picture are lit, and in what colour.
enum class TrafficLight : uint8_t { kRed, kYellow, kGreen };

/// A 105 x 86 picture of a dark two-lamp signal: red has its upper lamp lit red, green its lower lamp lit
/// green, yellow both lamps lit yellow; unlit lamps are dark grey. Transparent outside the signal's body.
/// Needs a QGuiApplication (the off-screen platform will do).
[[nodiscard]] QPixmap TrafficLightPicture(TrafficLight light);

/// A 730 x 627 picture on a light background: three dark film strips one above the other, the middle one
/// carrying in red letters "Нет фотографий с EXIF" in Russian and "No photos with EXIF"
/// for any other value. Needs a QGuiApplication.
[[nodiscard]] QPixmap NoPhotosPicture(Language language);

/// The window icon, a bar chart in front of a camera lens, drawn at 16, 32 and 64 pixels.
/// Needs a QGuiApplication.
[[nodiscard]] QIcon ProgramIcon();

}  // namespace lumetra
