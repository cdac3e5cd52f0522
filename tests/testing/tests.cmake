# Tests of the Exif/JPEG fixture writer and the demo folder; included from tests/CMakeLists.txt.
find_package(nlohmann_json REQUIRED)

lumetra_add_test(fixture_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/FixtureWriterTest.cpp
  LIBRARIES lumetra_fixtures nlohmann_json::nlohmann_json GTest::gmock GTest::gtest_main)
