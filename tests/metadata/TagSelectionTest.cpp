#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

#include "metadata/TagSelection.h"
#include "metadata/TagTables.h"

namespace lumetra {
namespace {

TEST(TagSelection, HoldsItsNamesWhateverTheirLetterCaseAndNothingElse) {
  const std::string long_name(70, 'L');
  const std::array<std::string_view, 6> names = {"Model", "Make", "Flash", "Focus Mode", "FNumber", long_name};
  const TagSelection selection(names);
  struct Case {
    std::string name;
    bool held;
  };
  const Case cases[] = {
      {"Model", true},
      {"model", true},
      {"MAKE", true},
      {"Flash", true},
      {"focus mode", true},
      {"FNumber", true},
      {long_name, true},
      {"Makes", false},
      {"Mode", false},
      {"Flesh", false},
      {"FocusMode", false},
      {"", false},
      {"Modelx", false},
      {std::string(70, 'l'), true},
      {std::string(71, 'L'), false},
  };
  for (const Case& c : cases) EXPECT_EQ(selection.Holds(c.name), c.held) << c.name;
}

TEST(TagSelection, HoldsATableRowAsItHoldsTheRowsName) {
  const std::array<std::string_view, 5> names = {"Model", "exposuretime", "GPSLatitude", "LensModel", "Unknown"};
  const TagSelection selection(names);
  int held = 0;
  for (const auto& table : {MainTagTable(), GpsTagTable()}) {
    for (const TTagEntry& row : table) {
      EXPECT_EQ(selection.HoldsRow(row), selection.Holds(row.Name)) << row.Name;
      EXPECT_EQ(selection.IndexOfRow(row), selection.IndexOf(row.Name)) << row.Name;
      held += selection.HoldsRow(row);
    }
  }
  EXPECT_GE(held, 4);
  // A row that is not in the tables (a copy) is looked up by its name.
  TTagEntry copy = FindTableRow(0x0110, DirectoryKind::kMain);
  EXPECT_TRUE(selection.HoldsRow(copy));
  EXPECT_EQ(selection.IndexOfRow(copy), 0);
  copy.Name = "Make";
  EXPECT_FALSE(selection.HoldsRow(copy));
  EXPECT_EQ(selection.IndexOfRow(copy), -1);
}

}  // namespace
}  // namespace lumetra
