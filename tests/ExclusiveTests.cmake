# SPDX-License-Identifier: GPL-3.0-or-later
# Included by CTest after the discovered test lists. Tests whose suite name begins with
# "Exclusive" read screen pixels, inject pointer or key events, grab the keyboard or need focus:
# they share the "xdisplay" lock so that a parallel ctest never runs two of them at once.
foreach(suite core_tests platform_tests app_tests)
  foreach(name IN LISTS ${suite}_TESTS)
    if(name MATCHES "^Exclusive")
      set_tests_properties("${name}" PROPERTIES RESOURCE_LOCK xdisplay)
    endif()
  endforeach()
endforeach()
