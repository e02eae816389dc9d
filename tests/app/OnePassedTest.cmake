# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DPROGRAM=<GoogleTest program> -DNAME=<full test name> -P OnePassedTest.cmake
# Runs the one test NAME and succeeds only when it ran and passed (or was skipped) and the process
# then ended with status 0. The output alone does not say the second: a leak found as the process
# ends, or a failure on its way out, comes after the test's own verdict. The status alone does not
# say the first: a name that matches no test runs none and ends with status 0 too.
execute_process(COMMAND "${PROGRAM}" "--gtest_filter=${NAME}" RESULT_VARIABLE status OUTPUT_VARIABLE output
  ECHO_OUTPUT_VARIABLE)
if(NOT output MATCHES "\\[  PASSED  \\] 1 test\\." AND NOT output MATCHES "\\[  SKIPPED \\] 1 test")
  message(FATAL_ERROR "${NAME}: not one test ran and passed")
endif()
if(NOT status STREQUAL "0")
  message(FATAL_ERROR "${NAME}: the test passed but its process ended with ${status}")
endif()
