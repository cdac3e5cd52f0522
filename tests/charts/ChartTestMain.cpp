// GoogleTest's main with the QApplication that Qt Charts draws with. Without a platform named in
// QT_QPA_PLATFORM the tests draw off-screen, so that listing and running them needs no display.

#include <gtest/gtest.h>

#include <cstdlib>

#include <QApplication>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform == nullptr || *platform == '\0') ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
