# SPDX-License-Identifier: GPL-3.0-or-later
# tarn_add_test_suite(<name> LIBS <libraries...> SOURCES <files relative to tests/...>)
# Adds one GoogleTest executable, registered with CTest.
# Each test gets a private HOME and XDG folders so no run touches the user's real settings.
function(tarn_add_test_suite name)
  cmake_parse_arguments(S "" "" "LIBS;SOURCES" ${ARGN})
  add_executable(${name} ${S_SOURCES})
  target_link_libraries(${name} PRIVATE ${S_LIBS} GTest::gtest GTest::gmock Qt6::Test)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE TARN_TEST_OUTPUT_DIR="${CMAKE_BINARY_DIR}/test-output")
  # Parametrized tests name their instances themselves; CTest keeps those names as they are.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES
    PROPERTIES ENVIRONMENT "TARN_TEST_OUTPUT_DIR=${CMAKE_BINARY_DIR}/test-output")
endfunction()
