# The stand-in for the system's PASSWORD.CPL (tests only, never shipped):
# built into its own folder, copied into the system folder by the tests that
# need it, and named to the tests through VIMBREL_PASSWORD_STANDIN_PATH.
add_library(password_standin SHARED ${CMAKE_SOURCE_DIR}/tests/win32/password_standin/password_standin.cpp)
target_include_directories(password_standin PRIVATE ${CMAKE_SOURCE_DIR}/tests/win32)
set_target_properties(password_standin PROPERTIES
  PREFIX "" OUTPUT_NAME PASSWORD SUFFIX ".CPL"
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/password_standin)
target_link_options(password_standin PRIVATE -static ${VIMBREL_EXPORT_FLAGS})
target_link_libraries(password_standin PRIVATE advapi32 user32)

# The host's test tools (support/harness.cpp) copy it where a test needs it.
target_compile_definitions(vimbrel_win32_test_support PUBLIC
  VIMBREL_PASSWORD_STANDIN_PATH="$<TARGET_FILE:password_standin>")
add_dependencies(vimbrel_win32_test_support password_standin)
