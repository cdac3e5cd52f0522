#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace lumetra::testing {

/// Calls `action`, which must throw `Error` whose message is exactly `message`; a failure otherwise,
/// also when nothing is thrown.
template <typename Error, typename Action>
void ExpectThrowWithMessage(Action&& action, std::string_view message) {
  try {
    action();
    ADD_FAILURE() << "nothing was thrown; expected \"" << message << "\"";
  } catch (const Error& error) {
    EXPECT_EQ(std::string_view(error.what()), message);
  }
}

}  // namespace lumetra::testing
