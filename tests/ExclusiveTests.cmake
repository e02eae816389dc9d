# SPDX-License-Identifier: GPL-3.0-or-later
# Included by CTest after the discovered test lists. Tests whose suite name begins with
# "Exclusive" read screen pixels, inject pointer or key events, grab the keyboard or need focus:
# they share the "xdisplay" lock so that a parallel ctest never runs two of them at once, and
# they run on the test desktop's second display (support/ExclusiveDisplay.h), where no other
# test's window can come in their way.
foreach(suite core_tests platform_tests app_tests)
  foreach(name IN LISTS ${suite}_TESTS)
    if(name MATCHES "^Exclusive")
      set_tests_properties("${name}" PROPERTIES RESOURCE_LOCK xdisplay
        ENVIRONMENT_MODIFICATION "TARN_EXCLUSIVE_TEST=set:1")
    endif()
  endforeach()
endforeach()
