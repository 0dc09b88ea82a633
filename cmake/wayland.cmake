# wayland.cmake - vimbrel-wayland, the Wayland program, and its manual page.
# Included from native.cmake; where libwayland-client or wayland-scanner is
# missing the test build goes on without it (with a message), the product
# build stops.
#
#   vimbrel-wayland    src/wayland/ over the portable core, the shared Linux
#                      option table and the protocols' generated glue:
#                      xdg-shell, the viewporter and ext-idle-notify from
#                      wayland-protocols, the layer shell and KDE's idle
#                      interface from src/wayland/protocols/
#   vimbrel-wayland.6  the manual page, written by `vimbrel-wayland --man`
#   install            the program into bin, the page into share/man/man6
find_package(PkgConfig)
if(PkgConfig_FOUND)
  pkg_check_modules(WAYLAND_CLIENT IMPORTED_TARGET wayland-client)
  pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
endif()
find_program(WAYLAND_SCANNER wayland-scanner)
if(NOT WAYLAND_CLIENT_FOUND OR NOT WAYLAND_SCANNER OR NOT WAYLAND_PROTOCOLS_DIR)
  if(NOT VIMBREL_TESTS)
    message(FATAL_ERROR "vimbrel-wayland needs libwayland-client, wayland-scanner and wayland-protocols "
                        "(Debian: libwayland-dev libwayland-bin wayland-protocols)")
  endif()
  message(STATUS "libwayland-client, wayland-scanner or wayland-protocols not found: vimbrel-wayland is not built")
  return()
endif()

# A protocol's client header and its interface code, in generated/wayland;
# the code's file is added to the list named by out_sources.
set(VIMBREL_WAYLAND_GENERATED ${CMAKE_BINARY_DIR}/generated/wayland)
function(vimbrel_wayland_protocol protocol out_sources)
  get_filename_component(name ${protocol} NAME_WE)
  set(code ${VIMBREL_WAYLAND_GENERATED}/${name}-protocol.c)
  add_custom_command(
    OUTPUT ${VIMBREL_WAYLAND_GENERATED}/${name}-client-protocol.h ${code}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VIMBREL_WAYLAND_GENERATED}
    COMMAND ${WAYLAND_SCANNER} client-header ${protocol} ${VIMBREL_WAYLAND_GENERATED}/${name}-client-protocol.h
    COMMAND ${WAYLAND_SCANNER} private-code ${protocol} ${code}
    DEPENDS ${protocol}
    VERBATIM)
  set(${out_sources} ${${out_sources}} ${code} PARENT_SCOPE)
endfunction()

set(VIMBREL_WAYLAND_PROTOCOL_SOURCES)
foreach(protocol
    ${WAYLAND_PROTOCOLS_DIR}/stable/xdg-shell/xdg-shell.xml
    ${WAYLAND_PROTOCOLS_DIR}/stable/viewporter/viewporter.xml
    ${WAYLAND_PROTOCOLS_DIR}/staging/ext-idle-notify/ext-idle-notify-v1.xml
    ${CMAKE_SOURCE_DIR}/src/wayland/protocols/wlr-layer-shell-unstable-v1.xml
    ${CMAKE_SOURCE_DIR}/src/wayland/protocols/kde-idle.xml)
  vimbrel_wayland_protocol(${protocol} VIMBREL_WAYLAND_PROTOCOL_SOURCES)
endforeach()

file(GLOB VIMBREL_WAYLAND_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/wayland/*.cpp)
add_executable(vimbrel-wayland ${VIMBREL_WAYLAND_SOURCES} ${VIMBREL_WAYLAND_PORTABLE_SOURCES}
  ${VIMBREL_LINUX_OPTION_SOURCES} ${VIMBREL_WAYLAND_PROTOCOL_SOURCES})
target_include_directories(vimbrel-wayland SYSTEM PRIVATE ${VIMBREL_WAYLAND_GENERATED})
target_compile_definitions(vimbrel-wayland PRIVATE VIMBREL_VERSION="${PROJECT_VERSION}")
if(TARGET vimbrel_core_product)  # the shipped flags, as the X11 program's
  target_compile_options(vimbrel-wayland PRIVATE ${VIMBREL_PRODUCT_FLAGS} -D_FORTIFY_SOURCE=2)
  target_link_options(vimbrel-wayland PRIVATE -Wl,-z,relro,-z,now)
  target_link_libraries(vimbrel-wayland PRIVATE vimbrel_core_product PkgConfig::WAYLAND_CLIENT)
else()
  target_link_libraries(vimbrel-wayland PRIVATE vimbrel_core PkgConfig::WAYLAND_CLIENT)
endif()

set(VIMBREL_WAYLAND_MANUAL ${CMAKE_BINARY_DIR}/vimbrel-wayland.6)
add_custom_command(OUTPUT ${VIMBREL_WAYLAND_MANUAL}
  COMMAND vimbrel-wayland --man > ${VIMBREL_WAYLAND_MANUAL}
  DEPENDS vimbrel-wayland
  COMMENT "Writing the manual page vimbrel-wayland.6")
add_custom_target(vimbrel_wayland_manual ALL DEPENDS ${VIMBREL_WAYLAND_MANUAL})

include(GNUInstallDirs)
install(TARGETS vimbrel-wayland RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VIMBREL_WAYLAND_MANUAL} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

if(NOT VIMBREL_TESTS)
  return()
endif()

# A pointer for the headless compositor, which has no input device.
set(VIMBREL_TEST_POINTER_SOURCES)
vimbrel_wayland_protocol(${CMAKE_SOURCE_DIR}/tests/wayland/wlr-virtual-pointer-unstable-v1.xml
                         VIMBREL_TEST_POINTER_SOURCES)
add_executable(wayland_test_pointer ${CMAKE_SOURCE_DIR}/tests/wayland/test_pointer.cpp ${VIMBREL_TEST_POINTER_SOURCES})
target_include_directories(wayland_test_pointer SYSTEM PRIVATE ${VIMBREL_WAYLAND_GENERATED})
target_link_libraries(wayland_test_pointer PRIVATE PkgConfig::WAYLAND_CLIENT)

# The program on private headless sway sessions, its outputs against vimbrel-render's frames.
add_executable(wayland_program_test ${CMAKE_SOURCE_DIR}/tests/wayland/wayland_program_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/native/support/frame_png.cpp)
target_include_directories(wayland_program_test PRIVATE ${CMAKE_SOURCE_DIR}/tests/native)
target_link_libraries(wayland_program_test PRIVATE vimbrel_core vimbrel_tool_files GTest::gtest GTest::gtest_main)
target_compile_definitions(wayland_program_test PRIVATE
  VIMBREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  VIMBREL_BINARY_DIR="${CMAKE_BINARY_DIR}"
  VIMBREL_WAYLAND="$<TARGET_FILE:vimbrel-wayland>"
  VIMBREL_TEST_POINTER="$<TARGET_FILE:wayland_test_pointer>"
  VIMBREL_RENDER="$<TARGET_FILE:vimbrel-render>")
add_dependencies(wayland_program_test vimbrel-wayland vimbrel_wayland_manual vimbrel-render wayland_test_pointer)
# A test that finds no sway it can run is skipped, and counted so.
gtest_discover_tests(wayland_program_test DISCOVERY_TIMEOUT 60
  PROPERTIES TIMEOUT 180 SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
