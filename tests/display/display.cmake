# The virtual display of the window tests: ctest starts Xvfb before the
# first test that needs it and stops it after the last.
#
#   include(${PROJECT_SOURCE_DIR}/tests/display/display.cmake)
#   tempiola_window_tests(my_test_target)   # instead of gtest_discover_tests
include_guard(GLOBAL)

set(TEMPIOLA_DISPLAY_DIR ${CMAKE_BINARY_DIR}/test-display CACHE INTERNAL "The virtual display's state")

add_test(NAME display_start COMMAND ${CMAKE_CURRENT_LIST_DIR}/start-xvfb ${TEMPIOLA_DISPLAY_DIR})
add_test(NAME display_stop COMMAND ${CMAKE_CURRENT_LIST_DIR}/stop-xvfb ${TEMPIOLA_DISPLAY_DIR})
set_tests_properties(display_start PROPERTIES FIXTURES_SETUP tempiola_display)
set_tests_properties(display_stop PROPERTIES FIXTURES_CLEANUP tempiola_display)
if(WIN32)
  # The window tests' Wine server (see cmake/wine-run) ends with the display.
  add_test(NAME display_wine_stop COMMAND sh -c "WINEPREFIX='${CMAKE_BINARY_DIR}/wine-prefix-display' wineserver -k; exit 0")
  set_tests_properties(display_wine_stop PROPERTIES FIXTURES_CLEANUP tempiola_display)
endif()

# The tests share the display, and the program's single-instance name (per
# user): they run one at a time. ENVIRONMENT stands last with one variable:
# the test discovery splits a list value and drops whatever follows it.
function(tempiola_window_tests target)
  gtest_discover_tests(${target}
    DISCOVERY_TIMEOUT 60
    PROPERTIES
      FIXTURES_REQUIRED tempiola_display
      RESOURCE_LOCK tempiola_display
      TIMEOUT 120
      ENVIRONMENT "TEMPIOLA_DISPLAY_FILE=${TEMPIOLA_DISPLAY_DIR}/display")
endfunction()
