#pragma once

namespace lumetra {

/// The program's reverse-DNS id: the name of its desktop entry (`<id>.desktop`), icon and AppStream data, and
/// the id by which a desktop ties the window to the entry it was started from.
inline constexpr char kApplicationId[] = "io.github.lumetra.Lumetra";

}  // namespace lumetra
