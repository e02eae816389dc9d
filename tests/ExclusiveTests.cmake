# SPDX-License-Identifier: GPL-3.0-or-later
# Included by CTest after the discovered test lists. Tests whose suite name begins with
# "Exclusive" read screen pixels, inject pointer or key events, grab the keyboard or need focus:
# they run on one of the test desktop's two exclusive displays (support/ExclusiveDisplay.h),
# where no other test's window can come in their way, and those of one display share its lock
# so that a parallel ctest never runs two of them there at once. The tests that record or play
# sound share the second display, so that no two of them hear each other on the one sound server;
# the hot-key tests go there too, so that both displays take about as long. A high cost starts
# them first: one after the other, they are the suite's longest path.
foreach(suite core_tests platform_tests app_tests)
  foreach(name IN LISTS ${suite}_TESTS)
    if(name MATCHES "^Exclusive(Recording|Audio|UISmoke\\.|ScreenCapture|X11ScreenSource|FloatingWindows|HotKeys)")
      set_tests_properties("${name}" PROPERTIES RESOURCE_LOCK xdisplay2 COST 1000
        ENVIRONMENT_MODIFICATION "TARN_EXCLUSIVE_TEST=set:2")
    elseif(name MATCHES "^Exclusive")
      set_tests_properties("${name}" PROPERTIES RESOURCE_LOCK xdisplay COST 1000
        ENVIRONMENT_MODIFICATION "TARN_EXCLUSIVE_TEST=set:1")
    endif()
    # The film's bar is read at set times into the film: on a machine starved by the tests beside
    # it the bar is painted late, so this one runs alone.
    if(name STREQUAL "ExclusiveRecordingShell.TheFilmShowsNoWindowOfOursButTheBarWhoseTimeIsTheFilms")
      set_tests_properties("${name}" PROPERTIES RUN_SERIAL TRUE)
    endif()
  endforeach()
endforeach()
