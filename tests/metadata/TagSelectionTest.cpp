#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

#include "metadata/TagSelection.h"

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

}  // namespace
}  // namespace lumetra
