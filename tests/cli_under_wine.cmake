# The suites that run the programs as a user would, run from the native
# build's test programs against the .exe files under Wine: the same cases,
# the Windows program. The native build is the one whose text converter
# this build takes (build/ for the windows preset), built first, as
# scripts/test does.
get_filename_component(host_build ${TEMPIOLA_HOST_GBKGEN} DIRECTORY)
get_filename_component(host_build ${host_build} DIRECTORY)
set(host_tests ${host_build}/tests)
set(wine_run "${PROJECT_SOURCE_DIR}/cmake/wine-run --keeper ${CMAKE_BINARY_DIR}/wine-desktop-keeper.exe")
set(wine_cli "${wine_run} ${CMAKE_BINARY_DIR}/wine-prefix ${CMAKE_BINARY_DIR}/tempiola-cli.exe")
# Each command-line suite runs twice: as a Western Windows (code page 1252)
# and as a Chinese one (936, with Chinese system messages), the latter in a
# prefix of its own.
set(wine_cli_chinese "${wine_run} ${CMAKE_BINARY_DIR}/wine-prefix-zh ${CMAKE_BINARY_DIR}/tempiola-cli.exe")

function(tempiola_cli_suite name program filter)
  add_test(NAME CliExe.${name} COMMAND ${host_tests}/${program} --gtest_filter=${filter})
  set_tests_properties(CliExe.${name} PROPERTIES ENVIRONMENT "TEMPIOLA_CLI_COMMAND=${wine_cli}" TIMEOUT 600)
  add_test(NAME CliExeChinese.${name} COMMAND ${host_tests}/${program} --gtest_filter=${filter})
  set_tests_properties(CliExeChinese.${name} PROPERTIES
    ENVIRONMENT "TEMPIOLA_CLI_COMMAND=${wine_cli_chinese};TEMPIOLA_WINE_LOCALE=zh_CN.UTF-8" TIMEOUT 600)
endfunction()

# ServerListPlace copies the native program about, so it runs natively only.
tempiola_cli_suite(FrameAndRender cli/tests_cli "*:-ServersCliTest.*:NtpCommandsTest.*:ServerListPlace.*")
tempiola_cli_suite(Servers cli/tests_cli "ServersCliTest.*")
# The time service exists only on Linux; Windows sets the clock itself.
tempiola_cli_suite(QueryAndCalibrate cli/tests_cli
                   "NtpCommandsTest.*:-NtpCommandsTest.CalibrateWithoutTheClockRightGoesThroughTheTimeService")
# Wine's sound path runs dry when the machine is busy: the sound suites
# run through tests/wine_sound_run, at a raised priority where allowed, a
# failed test run again alone up to twice. One run takes some ten minutes
# (the stall tests among them), so the limit holds that and the reruns on
# a busy machine. The listening test is
# not run under Wine: on a busy machine Wine's sound input hands its
# buffers over up to a tenth of a second late, which dates the minute marks
# by Wine's load, not by the program.
add_test(NAME CliExe.Transmit
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/wine_sound_run ${CMAKE_BINARY_DIR}/wine-prefix
                 ${host_tests}/e2e/tests_e2e_sound --gtest_filter=SoundTransmit.*)
set_tests_properties(CliExe.Transmit PROPERTIES ENVIRONMENT "TEMPIOLA_CLI_COMMAND=${wine_cli}" TIMEOUT 1800
                     LABELS sound RUN_SERIAL TRUE)

# The window sound test: the Linux test's sound server and recorder, and the
# window's part in a program of the Windows build on the virtual display.
# Run as the transmit suite is, in the window tests' prefix.
include(${PROJECT_SOURCE_DIR}/tests/display/display.cmake)
add_test(NAME WindowExe.Sound
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/wine_sound_run ${CMAKE_BINARY_DIR}/wine-prefix-display
                 ${host_tests}/e2e/tests_e2e_window_sound --gtest_filter=WindowSound.*)
set_tests_properties(WindowExe.Sound PROPERTIES
  ENVIRONMENT "TEMPIOLA_WINDOW_SOUND_COMMAND=${PROJECT_SOURCE_DIR}/cmake/wine-run --keeper ${CMAKE_BINARY_DIR}/wine-desktop-keeper.exe ${CMAKE_BINARY_DIR}/wine-prefix ${CMAKE_BINARY_DIR}/tests/e2e/tests_e2e_window_transmission.exe;TEMPIOLA_DISPLAY_FILE=${TEMPIOLA_DISPLAY_DIR}/display"
  FIXTURES_REQUIRED tempiola_display RESOURCE_LOCK tempiola_display TIMEOUT 600 LABELS sound RUN_SERIAL TRUE)

# Two real copies of the window program under Wine, started by the native
# build's test on the window tests' virtual display (whose fixture ends the
# display prefix's Wine server), with the sound tests' private PulseAudio as
# their playback device: without one the first copy would show its
# no-device box, titled like the second copy's box.
add_test(NAME WindowExe.SecondInstance COMMAND ${host_tests}/app/tests_app_windows --gtest_filter=SecondInstance.*)
set_tests_properties(WindowExe.SecondInstance PROPERTIES
  FIXTURES_REQUIRED "tempiola_display;tempiola_wine_sound"
  RESOURCE_LOCK tempiola_display
  TIMEOUT 600
  ENVIRONMENT "TEMPIOLA_EXE_COMMAND=${PROJECT_SOURCE_DIR}/cmake/wine-run --keeper ${CMAKE_BINARY_DIR}/wine-desktop-keeper.exe ${CMAKE_BINARY_DIR}/wine-prefix ${CMAKE_BINARY_DIR}/tempiola.exe;TEMPIOLA_DISPLAY_FILE=${TEMPIOLA_DISPLAY_DIR}/display;PULSE_SERVER=unix:${CMAKE_BINARY_DIR}/tests/platform/pulse/run/native")
