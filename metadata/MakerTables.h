#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "metadata/ReaderContext.h"

namespace lumetra {

/// A maker-note renderer: takes the text the type rule produced and returns the text shown. The Canon
/// record renderers also list named entries on the context's current reader and set its `SubRecordFlag`.
/// Throws `ReaderError` on a text it cannot read.
using MakerRenderer = std::string (*)(const std::string& text, ReaderContext& context);

/// One row of a maker's tag table. `desc` is the name shown in the listing and tested against "SKIP";
/// it is the name itself when null.
struct MakerRow {
  uint16_t tag;
  const char* name;
  const char* desc;
  const char* code_list;
  MakerRenderer renderer;

  [[nodiscard]] const char* ShownName() const { return desc != nullptr ? desc : name; }
};

// The tag tables of the makers whose notes are read, kept as the cameras' old tools spelled them.
[[nodiscard]] std::span<const MakerRow> NikonTable1();
[[nodiscard]] std::span<const MakerRow> NikonTable2();
[[nodiscard]] std::span<const MakerRow> OlympusTable();
/// Olympus' later notes and their equipment directory (the lens).
[[nodiscard]] std::span<const MakerRow> OlympusTable2();
[[nodiscard]] std::span<const MakerRow> OlympusEquipmentTable();
[[nodiscard]] std::span<const MakerRow> CasioTable();
[[nodiscard]] std::span<const MakerRow> FujifilmTable();
[[nodiscard]] std::span<const MakerRow> CanonTable();
[[nodiscard]] std::span<const MakerRow> SeikoTable();
[[nodiscard]] std::span<const MakerRow> SanyoTable();
[[nodiscard]] std::span<const MakerRow> MinoltaTable();

}  // namespace lumetra
