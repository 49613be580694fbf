# Starts the program where no display can be reached and checks that it
# explains itself in one line and ends with status 1, not with Qt's abort.
# Usage: cmake -DPROGRAM=<program> -P without_display_test.cmake
function(expect_one_line env_args expected)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
            QT_QPA_PLATFORM=xcb ${env_args} ${PROGRAM}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err
    TIMEOUT 60)
  if(NOT status STREQUAL "1" OR NOT err STREQUAL "${expected}\n"
     OR NOT out STREQUAL "")
    message(FATAL_ERROR "with ${env_args}: status ${status}, "
                        "stdout [${out}], stderr [${err}]")
  endif()
endfunction()

expect_one_line("" "pelloquin: needs a graphical desktop session (DISPLAY and WAYLAND_DISPLAY are not set)")
# A display that nothing serves.
expect_one_line("DISPLAY=:97" "pelloquin: needs a graphical desktop session (could not open the display :97)")

# A failure that is not about the display keeps Qt's own words.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=no-such-platform ${PROGRAM}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
if(status STREQUAL "0" OR err MATCHES "needs a graphical desktop session"
   OR NOT err MATCHES "Could not find the Qt platform plugin \"no-such-platform\"")
  message(FATAL_ERROR "with no such platform: status ${status}, stderr [${err}]")
endif()
