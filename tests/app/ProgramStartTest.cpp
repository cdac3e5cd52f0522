// The desktop program started where it cannot show its window: one line saying so and a failing exit code,
// never an abort inside Qt.

#include <gtest/gtest.h>

#include <string>

#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

namespace lumetra {
namespace {

TEST(ProgramStart, WithoutAUsableDisplaySaysSoInOneLine) {
  testing::TempFolder home;
  struct Case {
    const char* display;
    const char* message;
  };
  // A display number no X server takes: xvfb-run and the window tests' servers use the low ones, and may run
  // beside this test.
  const Case cases[] = {
      {"DISPLAY=:7391", "lumetra: no display to show the window on (cannot connect to DISPLAY=:7391)\n"},
      {"-u DISPLAY", "lumetra: no display to show the window on (DISPLAY is not set)\n"},
      // The platform asked for by name is tried, not given up for an abort.
      {"QT_QPA_PLATFORM=xcb DISPLAY=:7391",
       "lumetra: no display to show the window on (cannot connect to DISPLAY=:7391)\n"},
      {"-u DISPLAY QT_QPA_PLATFORM=xcb", "lumetra: no display to show the window on (DISPLAY is not set)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.display);
    const testing::ProcessResult result = testing::RunCommand(
        "env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY -u XDG_SESSION_TYPE -u XDG_RUNTIME_DIR " + std::string(c.display) +
        " LUMETRA_HOME='" + home.path().string() + "' " + LUMETRA_PROGRAM_PATH);
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.output, c.message);
  }
}

}  // namespace
}  // namespace lumetra
