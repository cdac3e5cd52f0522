# The program's folder, and what `cmake --install` lays out; included from tests/CMakeLists.txt.
lumetra_add_test(program_folder_tests
  SOURCES ${PROJECT_SOURCE_DIR}/tests/app/ProgramFolderTest.cpp
  LIBRARIES lumetra_cli_commands GTest::gtest_main)

if(LUMETRA_GUI)
  add_test(NAME installed_layout COMMAND ${CMAKE_CURRENT_LIST_DIR}/installed-layout.sh ${PROJECT_BINARY_DIR})
endif()
