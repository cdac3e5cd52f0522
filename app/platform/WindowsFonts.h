#pragma once

namespace lumetra {

/// Lets the Windows fonts the window is designed with ("MS Sans Serif", "Tahoma", "Arial") be drawn by
/// Liberation Sans, which has Arial's widths, so that captions fit the places designed for them; DejaVu
/// Sans stays the fallback. Call once after the application is made.
void SubstituteWindowsFonts();

}  // namespace lumetra
