# The hook library that reports the saver's WM_TIMER messages to a test
# (tests only, never shipped), named to the tests through VIMBREL_TIMER_SPY_PATH.
add_library(timer_spy SHARED ${CMAKE_SOURCE_DIR}/tests/win32/timer_spy/timer_spy.cpp)
set_target_properties(timer_spy PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/timer_spy)
target_link_options(timer_spy PRIVATE -static ${VIMBREL_EXPORT_FLAGS})
target_link_libraries(timer_spy PRIVATE user32)

target_compile_definitions(vimbrel_win32_test_support PUBLIC VIMBREL_TIMER_SPY_PATH="$<TARGET_FILE:timer_spy>")
add_dependencies(vimbrel_win32_test_support timer_spy)
