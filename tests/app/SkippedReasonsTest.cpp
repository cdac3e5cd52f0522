#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "app/SkippedReasons.h"

namespace lumetra {
namespace {

// The reasons the survey gives, as the window shows them: Russian where it knows them, else as they are;
// English always as they are.
TEST(SkippedReasonIn, KnownReasonsSpeakRussianOthersStayAsTheyAre) {
  struct Case {
    std::string reason;
    std::string russian;
  };
  const Case cases[] = {
      {std::generic_category().message(EACCES), "Доступ запрещён"},
      {std::generic_category().message(ENOENT), "Нет такого файла или папки"},
      {std::generic_category().message(ELOOP), "Слишком много уровней символических ссылок"},
      {"a virtual file system", "виртуальная файловая система"},
      {"not a regular file", "не обычный файл"},
      {"a reason nobody wrote down", "a reason nobody wrote down"},
      {"", ""},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.reason);
    EXPECT_EQ(SkippedReasonIn(test.reason, kRussian), test.russian);
    EXPECT_EQ(SkippedReasonIn(test.reason, kEnglish), test.reason);
  }
}

}  // namespace
}  // namespace lumetra
