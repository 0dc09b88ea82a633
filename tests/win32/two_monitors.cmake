# The host's test on two monitors: run through scripts/wine-env --two-monitors,
# which gives it a display and a Wine prefix where Wine sees two monitors,
# and a third output its tests switch on and off with xrandr.
add_executable(host_cover_windows_test ${CMAKE_SOURCE_DIR}/tests/win32/two_monitors/host_cover_windows_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win32/two_monitors/host_screens_change_test.cpp ${VIMBREL_RC})
target_link_libraries(host_cover_windows_test PRIVATE vimbrel_win32_test_support gtest_main psapi)
target_link_options(host_cover_windows_test PRIVATE -static ${VIMBREL_EXPORT_FLAGS})
add_dependencies(host_cover_windows_test vimbrel_scr)
add_test(NAME win32_${VIMBREL_SCR_NAME}_host_cover_windows_test
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-env --two-monitors ${CMAKE_CROSSCOMPILING_EMULATOR}
          $<TARGET_FILE:host_cover_windows_test>)
set_tests_properties(win32_${VIMBREL_SCR_NAME}_host_cover_windows_test PROPERTIES TIMEOUT 240)
target_precompile_headers(host_cover_windows_test REUSE_FROM vimbrel_win32_test_support)
