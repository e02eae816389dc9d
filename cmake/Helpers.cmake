# Adds one GoogleTest executable made of every .cpp in a folder, registered with CTest.
# Each test gets a private HOME and XDG folders so no run touches the user's real settings.
function(tarn_add_test_suite name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gmock Qt6::Test)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE TARN_TEST_OUTPUT_DIR="${CMAKE_BINARY_DIR}/test-output")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "TARN_TEST_OUTPUT_DIR=${CMAKE_BINARY_DIR}/test-output")
endfunction()
