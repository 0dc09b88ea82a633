# x11.cmake - vimbrel, the native X11 program, its XScreenSaver description,
# its manual page and (with VIMBREL_TESTS) its tests under Xvfb. Included
# from native.cmake; where the X11 development files are missing the test
# build goes on without it (with a message), the product build stops.
#
#   vimbrel       src/x11/ over the portable core and the built-in pictures
#   vimbrel.xml   written by `vimbrel --xml` from the settings field table
#   vimbrel.6     the manual page, written by `vimbrel --man` from the same
#   install       the program into libexec/xscreensaver, the description
#                 into share/xscreensaver/config, the page into share/man/man6
#                 and the desktop entry vimbrel.desktop, which names the
#                 program where it is installed, into
#                 share/applications/screensavers (where the desktops' screen
#                 savers list their programs from); `cmake --install DIR
#                 --strip` strips the program
#   uninstall     removes what the last install put in place
find_package(X11)
if(NOT X11_FOUND OR NOT X11_Xext_FOUND)
  if(NOT VIMBREL_TESTS)
    message(FATAL_ERROR "vimbrel needs the X11 and Xext development files (Debian: libx11-dev libxext-dev)")
  endif()
  message(STATUS "X11 or Xext development files not found: vimbrel (X11) is not built")
  return()
endif()

file(GLOB VIMBREL_X11_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/x11/*.cpp)
add_executable(vimbrel ${VIMBREL_X11_SOURCES} ${VIMBREL_LINUX_OPTION_SOURCES})
target_compile_definitions(vimbrel PRIVATE VIMBREL_VERSION="${PROJECT_VERSION}")
if(TARGET vimbrel_core_product)  # the shipped flags, but not under the sanitizers
  # Debian's hardening: checked string and memory calls, and the relocations
  # made read-only once the program is loaded.
  target_compile_options(vimbrel PRIVATE ${VIMBREL_PRODUCT_FLAGS} -D_FORTIFY_SOURCE=2)
  target_link_options(vimbrel PRIVATE -Wl,-z,relro,-z,now)
  target_link_libraries(vimbrel PRIVATE vimbrel_core_product X11::X11 X11::Xext)
else()
  target_link_libraries(vimbrel PRIVATE vimbrel_core X11::X11 X11::Xext)
endif()

set(VIMBREL_XML ${CMAKE_BINARY_DIR}/vimbrel.xml)
add_custom_command(OUTPUT ${VIMBREL_XML}
  COMMAND vimbrel --xml > ${VIMBREL_XML}
  DEPENDS vimbrel
  COMMENT "Writing the XScreenSaver description vimbrel.xml")
add_custom_target(vimbrel_xml ALL DEPENDS ${VIMBREL_XML})
set(VIMBREL_MANUAL ${CMAKE_BINARY_DIR}/vimbrel.6)
add_custom_command(OUTPUT ${VIMBREL_MANUAL}
  COMMAND vimbrel --man > ${VIMBREL_MANUAL}
  DEPENDS vimbrel
  COMMENT "Writing the manual page vimbrel.6")
add_custom_target(vimbrel_manual ALL DEPENDS ${VIMBREL_MANUAL})

include(GNUInstallDirs)
install(TARGETS vimbrel RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
install(FILES ${VIMBREL_XML} DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(FILES ${VIMBREL_MANUAL} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
# The entry is written at install time, for the prefix of that install
# (`cmake --install --prefix` may name another than the configured one).
install(CODE "
  set(program \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver/vimbrel\")
  set(entry \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/screensavers/vimbrel.desktop\")
  file(READ \"${CMAKE_SOURCE_DIR}/src/x11/vimbrel.desktop.in\" text)
  string(REPLACE \"@PROGRAM@\" \"\${program}\" text \"\${text}\")
  message(STATUS \"Installing: \${entry}\")
  file(WRITE \"\${entry}\" \"\${text}\")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${entry}\")
")
add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${CMAKE_BINARY_DIR}/install_manifest.txt -P ${CMAKE_SOURCE_DIR}/cmake/uninstall.cmake
  COMMENT "Removing the files of the last install")

if(NOT VIMBREL_TESTS)
  return()
endif()

# The program on private Xvfb servers, its frames against the portable core's.
add_executable(x11_program_test ${CMAKE_SOURCE_DIR}/tests/x11/x11_program_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/x11/xscreensaver_list_test.cpp ${VIMBREL_LINUX_OPTION_SOURCES}
  ${CMAKE_SOURCE_DIR}/src/x11/xscreensaver_list.cpp ${CMAKE_SOURCE_DIR}/src/x11/x11_window.cpp)
target_include_directories(x11_program_test PRIVATE ${CMAKE_SOURCE_DIR}/tests/native)
target_link_libraries(x11_program_test PRIVATE vimbrel_core X11::X11 GTest::gtest GTest::gtest_main)
target_compile_definitions(x11_program_test PRIVATE
  VIMBREL_BINARY_DIR="${CMAKE_BINARY_DIR}"
  VIMBREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  VIMBREL_PROGRAM="$<TARGET_FILE:vimbrel>"
  VIMBREL_RENDER="$<TARGET_FILE:vimbrel-render>")
add_dependencies(x11_program_test vimbrel vimbrel_xml vimbrel_manual vimbrel-render)
gtest_discover_tests(x11_program_test DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 180)

# XScreenSaver's daemon running the installed program, as an unprivileged user (root only).
add_test(NAME xscreensaver_daemon
  COMMAND ${CMAKE_SOURCE_DIR}/tests/x11/xscreensaver_test.sh ${CMAKE_BINARY_DIR} $<TARGET_FILE:vimbrel-render>
          ${CMAKE_BINARY_DIR}/x11-test-output)
set_tests_properties(xscreensaver_daemon PROPERTIES TIMEOUT 150 SKIP_RETURN_CODE 77)
