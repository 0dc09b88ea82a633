# Linux: the X11 program (x11.cmake) over the core in the products' flags;
# with VIMBREL_TESTS (the default) also the tools, the native tests, the
# benchmarks and the fuzz targets on the portable core.

include(${CMAKE_SOURCE_DIR}/cmake/embedded_pictures.cmake)

# The core's scene from those pictures (core/scene/committed_pictures.h)
# finds them here.
target_link_libraries(vimbrel_core PUBLIC vimbrel_embedded_pictures)
if(NOT VIMBREL_SANITIZE)
  # The core as the products ship it (the Release flags of the MinGW builds,
  # -O3), in a copy of its own for the shipped native program and the bench:
  # the tests keep the library of the native build's configuration.
  set(VIMBREL_PRODUCT_FLAGS -O3)
  add_library(vimbrel_core_product STATIC ${VIMBREL_CORE_SOURCES})
  target_include_directories(vimbrel_core_product PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(vimbrel_core_product PRIVATE ${VIMBREL_PRODUCT_FLAGS})
  target_link_libraries(vimbrel_core_product PUBLIC vimbrel_embedded_pictures)
endif()
# The two Linux programs' shared option table (src/linux_options/, which
# includes only the core) and the Wayland program's Wayland-free pieces:
# compiled into each program with its flags, and into one library for the
# native tests.
file(GLOB VIMBREL_LINUX_OPTION_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/linux_options/*.cpp)
file(GLOB VIMBREL_WAYLAND_PORTABLE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/wayland/portable/*.cpp)
if(NOT VIMBREL_TESTS)
  include(${CMAKE_SOURCE_DIR}/cmake/x11.cmake)
  include(${CMAKE_SOURCE_DIR}/cmake/wayland.cmake)
  return()
endif()
add_library(vimbrel_linux_portable STATIC ${VIMBREL_LINUX_OPTION_SOURCES} ${VIMBREL_WAYLAND_PORTABLE_SOURCES})
target_link_libraries(vimbrel_linux_portable PUBLIC vimbrel_core)

find_package(GTest REQUIRED)
find_package(PNG REQUIRED)
include(GoogleTest)

set(VIMBREL_TOOLS_DIR ${CMAKE_SOURCE_DIR}/tools)

# The one writer of each file format the tools and the tests make: BMP, and
# PNG through libpng.
file(GLOB VIMBREL_TOOL_FILE_SOURCES CONFIGURE_DEPENDS ${VIMBREL_TOOLS_DIR}/files/*.cpp)
add_library(vimbrel_tool_files STATIC ${VIMBREL_TOOL_FILE_SOURCES})
target_include_directories(vimbrel_tool_files PUBLIC ${VIMBREL_TOOLS_DIR})
target_link_libraries(vimbrel_tool_files PUBLIC vimbrel_core PNG::PNG)

# The picture generator: its library makes the bytes, the tool writes them,
# and a test regenerates them and compares with the committed files.
file(GLOB VIMBREL_PICTURE_SOURCES CONFIGURE_DEPENDS ${VIMBREL_TOOLS_DIR}/pictures/*.cpp)
add_library(vimbrel_pictures STATIC ${VIMBREL_PICTURE_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
target_include_directories(vimbrel_pictures PUBLIC ${VIMBREL_TOOLS_DIR})
target_link_libraries(vimbrel_pictures PUBLIC vimbrel_core vimbrel_tool_files)
if(EXISTS ${VIMBREL_TOOLS_DIR}/make_pictures.cpp)
  add_executable(vimbrel-pictures ${VIMBREL_TOOLS_DIR}/make_pictures.cpp)
  target_link_libraries(vimbrel-pictures PRIVATE vimbrel_pictures)
endif()

file(GLOB VIMBREL_RENDER_SOURCES CONFIGURE_DEPENDS ${VIMBREL_TOOLS_DIR}/render/*.cpp)
if(VIMBREL_RENDER_SOURCES)
  add_executable(vimbrel-render ${VIMBREL_RENDER_SOURCES})
  target_link_libraries(vimbrel-render PRIVATE vimbrel_core vimbrel_tool_files)
  target_include_directories(vimbrel-render PRIVATE ${VIMBREL_TOOLS_DIR})
endif()

file(GLOB_RECURSE VIMBREL_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
add_executable(native_tests ${VIMBREL_NATIVE_TESTS})
# The settings dialog's control table needs no <windows.h>: the native tests
# hold it to the dialog template.
target_sources(native_tests PRIVATE ${CMAKE_SOURCE_DIR}/src/win32/config_ui/dialog_controls.cpp)
target_include_directories(native_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/native)
target_precompile_headers(native_tests PRIVATE <gtest/gtest.h>)  # compiled once for every test file
target_link_libraries(native_tests PRIVATE vimbrel_core vimbrel_win32_portable vimbrel_linux_portable vimbrel_web_portable vimbrel_pictures vimbrel_tool_files GTest::gtest GTest::gtest_main GTest::gmock)
target_compile_definitions(native_tests PRIVATE
  VIMBREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  VIMBREL_BINARY_DIR="${CMAKE_BINARY_DIR}")
if(TARGET vimbrel-render)
  add_dependencies(native_tests vimbrel-render)  # the renderer's tests run the binary
endif()
gtest_discover_tests(native_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)

# The browser page (the web preset's build/web/) in headless Chromium, its
# frames against vimbrel-render's; skipped, saying why, where the page is
# not built or Chromium, its driver or selenium is missing.
# Once, in the native build: the sanitizers' build would only repeat it.
find_program(VIMBREL_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT VIMBREL_SANITIZE)
  add_test(NAME web_page
    COMMAND ${VIMBREL_PYTHON} ${CMAKE_SOURCE_DIR}/tests/web/web_page_test.py --web ${CMAKE_SOURCE_DIR}/build/web
            --render $<TARGET_FILE:vimbrel-render>
            --out ${CMAKE_BINARY_DIR}/web-test-output)
  set_tests_properties(web_page PROPERTIES TIMEOUT 240 SKIP_RETURN_CODE 77)
endif()

include(${CMAKE_SOURCE_DIR}/cmake/bench_fuzz.cmake)
include(${CMAKE_SOURCE_DIR}/cmake/x11.cmake)
include(${CMAKE_SOURCE_DIR}/cmake/wayland.cmake)

# The portable core holds no mutable global: nm finds no object of it in a
# writable section (types B, b, D, d). The sanitizers add data of their own.
if(NOT VIMBREL_SANITIZE)
  add_test(NAME core_holds_no_mutable_global
    COMMAND sh -c "if nm -C \"$0\" | grep -E ' [BbDd] '; then echo 'mutable globals in the portable core (above)'; exit 1; fi"
            $<TARGET_FILE:vimbrel_core>)
endif()
