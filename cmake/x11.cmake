# x11.cmake - vimbrel, the native X11 program, its XScreenSaver description
# and its tests under Xvfb. Included from native.cmake; skipped (with a
# message) where the X11 development files are missing.
#
#   vimbrel       src/x11/ over the portable core and the built-in pictures
#   vimbrel.xml   written by `vimbrel --xml` from the settings field table
#   install       the program into libexec/xscreensaver, the description
#                 into share/xscreensaver/config
find_package(X11)
if(NOT X11_FOUND OR NOT X11_Xext_FOUND)
  message(STATUS "X11 or Xext development files not found: vimbrel (X11) is not built")
  return()
endif()

file(GLOB VIMBREL_X11_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/x11/*.cpp)
add_executable(vimbrel ${VIMBREL_X11_SOURCES})
if(TARGET vimbrel_committed_pictures_product)  # the shipped flags, but not under the sanitizers
  target_compile_options(vimbrel PRIVATE ${VIMBREL_PRODUCT_FLAGS})
  target_link_libraries(vimbrel PRIVATE vimbrel_committed_pictures_product X11::X11 X11::Xext)
else()
  target_link_libraries(vimbrel PRIVATE vimbrel_committed_pictures X11::X11 X11::Xext)
endif()

set(VIMBREL_XML ${CMAKE_BINARY_DIR}/vimbrel.xml)
add_custom_command(OUTPUT ${VIMBREL_XML}
  COMMAND vimbrel --xml > ${VIMBREL_XML}
  DEPENDS vimbrel
  COMMENT "Writing the XScreenSaver description vimbrel.xml")
add_custom_target(vimbrel_xml ALL DEPENDS ${VIMBREL_XML})

include(GNUInstallDirs)
install(TARGETS vimbrel RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
install(FILES ${VIMBREL_XML} DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)

# The program on private Xvfb servers, its frames against vimbrel-render's.
add_executable(x11_program_test ${CMAKE_SOURCE_DIR}/tests/x11/x11_program_test.cpp)
target_link_libraries(x11_program_test PRIVATE vimbrel_core X11::X11 GTest::gtest GTest::gtest_main)
target_compile_definitions(x11_program_test PRIVATE
  VIMBREL_BINARY_DIR="${CMAKE_BINARY_DIR}"
  VIMBREL_PROGRAM="$<TARGET_FILE:vimbrel>"
  VIMBREL_RENDER="$<TARGET_FILE:vimbrel-render>")
add_dependencies(x11_program_test vimbrel vimbrel-render)
gtest_discover_tests(x11_program_test DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 180)

# XScreenSaver's daemon running the program, as an unprivileged user (root only).
add_test(NAME xscreensaver_daemon
  COMMAND ${CMAKE_SOURCE_DIR}/tests/x11/xscreensaver_test.sh $<TARGET_FILE:vimbrel> $<TARGET_FILE:vimbrel-render>
          ${CMAKE_BINARY_DIR}/x11-test-output)
set_tests_properties(xscreensaver_daemon PROPERTIES TIMEOUT 150 SKIP_RETURN_CODE 77)
