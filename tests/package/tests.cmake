# The program's folder, and what `cmake --install` lays out; included from tests/CMakeLists.txt.
add_executable(program_folder_tests ${PROJECT_SOURCE_DIR}/tests/app/ProgramFolderTest.cpp)
target_link_libraries(program_folder_tests PRIVATE lumetra_cli_commands lumetra_test_support GTest::gtest_main)
gtest_discover_tests(program_folder_tests DISCOVERY_MODE PRE_TEST)

if(LUMETRA_GUI)
  add_test(NAME installed_layout COMMAND ${CMAKE_CURRENT_LIST_DIR}/installed-layout.sh ${PROJECT_BINARY_DIR})
endif()
