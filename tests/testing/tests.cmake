# Tests of the Exif/JPEG fixture writer and the demo folder; included from tests/CMakeLists.txt.
find_package(nlohmann_json REQUIRED)

add_executable(fixture_tests ${CMAKE_CURRENT_LIST_DIR}/FixtureWriterTest.cpp)
target_link_libraries(fixture_tests PRIVATE lumetra_fixtures lumetra_test_support GTest::gmock
                                            GTest::gtest_main)
gtest_discover_tests(fixture_tests DISCOVERY_MODE PRE_TEST)
