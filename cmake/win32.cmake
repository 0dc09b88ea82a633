# Windows (MinGW-w64): the .scr, its resources, and the Win32 tests that ctest
# runs under Wine.
enable_language(RC)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(VIMBREL_SCR_NAME vimbrel)
  # Exports keep their plain names (ScreenSaverProc, not ScreenSaverProc@16).
  set(VIMBREL_EXPORT_FLAGS -Wl,--kill-at)
else()
  set(VIMBREL_SCR_NAME vimbrel64)
  set(VIMBREL_EXPORT_FLAGS)
endif()

# The oldest Windows each product is for, from the kept list of the
# functions it may import (scripts/check-products holds the products to
# it): its name for the version record and the READMEs, and the version the
# PE header asks for, as operating system and as subsystem.
set(VIMBREL_ALLOWED_IMPORTS ${CMAKE_SOURCE_DIR}/packaging/allowed-imports.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VIMBREL_ALLOWED_IMPORTS})
file(STRINGS ${VIMBREL_ALLOWED_IMPORTS} floor_lines REGEX "^floor ")
foreach(line IN LISTS floor_lines)
  if(NOT line MATCHES "^floor +([a-z0-9]+)\\.scr +[^ ]+ +([0-9]+)\\.([0-9]+) +(.+)$")
    message(FATAL_ERROR "${VIMBREL_ALLOWED_IMPORTS}: cannot read the floor line '${line}'")
  endif()
  set(VIMBREL_FLOOR_${CMAKE_MATCH_1} "${CMAKE_MATCH_4}")
  set(VIMBREL_FLOOR_VERSION_${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3})
endforeach()
if(NOT DEFINED VIMBREL_FLOOR_vimbrel OR NOT DEFINED VIMBREL_FLOOR_vimbrel64)
  message(FATAL_ERROR "${VIMBREL_ALLOWED_IMPORTS}: a floor line for vimbrel.scr and for vimbrel64.scr is needed")
endif()
set(VIMBREL_WINDOWS_FLOOR "${VIMBREL_FLOOR_${VIMBREL_SCR_NAME}}")
list(GET VIMBREL_FLOOR_VERSION_${VIMBREL_SCR_NAME} 0 floor_major)
list(GET VIMBREL_FLOOR_VERSION_${VIMBREL_SCR_NAME} 1 floor_minor)
set(VIMBREL_PE_VERSION_FLAGS
  -Wl,--major-os-version,${floor_major} -Wl,--minor-os-version,${floor_minor}
  -Wl,--major-subsystem-version,${floor_major} -Wl,--minor-subsystem-version,${floor_minor})

# The shell: everything Win32 but the program's entry, so that tests can
# link the real window procedures.
file(GLOB VIMBREL_SHELL_SOURCES CONFIGURE_DEPENDS
  src/win32/host/*.cpp src/win32/config_ui/*.cpp src/win32/session/*.cpp src/win32/image/*.cpp)
add_library(vimbrel_shell STATIC ${VIMBREL_SHELL_SOURCES})
target_link_libraries(vimbrel_shell PUBLIC vimbrel_core vimbrel_win32_portable comctl32 gdi32 user32 advapi32)
target_compile_definitions(vimbrel_shell PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)

# The file's name and version number, for the version record and the
# manifest; the resource compiler finds both in the generated folder.
configure_file(${CMAKE_SOURCE_DIR}/cmake/build_info.h.in ${CMAKE_BINARY_DIR}/generated/build_info.h @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/src/win32/resources/vimbrel.manifest.in ${CMAKE_BINARY_DIR}/generated/vimbrel.manifest
  @ONLY)
# The pictures and the icon, for the resource script.
include_directories(${CMAKE_BINARY_DIR}/generated ${CMAKE_SOURCE_DIR}/src/core/pictures)

# For the release package (scripts/package): its README and the version
# number that names it, both from project(VERSION).
configure_file(${CMAKE_SOURCE_DIR}/packaging/README.txt.in ${CMAKE_BINARY_DIR}/package/README.txt
  @ONLY NEWLINE_STYLE CRLF)  # read with Notepad
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/package/version.txt CONTENT "@PROJECT_VERSION@\n" @ONLY)

# For the installer (packaging/windows/vimbrel.nsi): the version from
# project(VERSION), and the maker, product name and copyright from the
# products' own version record, so that the uninstall entry says what the
# .scr files say.
file(STRINGS ${CMAKE_SOURCE_DIR}/src/win32/resources/vimbrel.rc version_record_values
  REGEX "^ *VALUE \"(CompanyName|ProductName|LegalCopyright)\", \"[^\"]+\"$")
foreach(line IN LISTS version_record_values)
  string(REGEX REPLACE "^ *VALUE \"([A-Za-z]+)\", \"([^\"]+)\"$" "\\1;\\2" pair "${line}")
  list(GET pair 0 key)
  list(GET pair 1 value)
  set(VIMBREL_RC_${key} "${value}")
endforeach()
foreach(key CompanyName ProductName LegalCopyright)
  if(NOT DEFINED VIMBREL_RC_${key})
    message(FATAL_ERROR "src/win32/resources/vimbrel.rc: no ${key} in the version record")
  endif()
endforeach()
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/package/installer.nsh CONTENT [[
; Made by CMake from project(VERSION) and src/win32/resources/vimbrel.rc.
!define VIMBREL_VERSION "@PROJECT_VERSION@"
!define VIMBREL_VERSION_NUMBERS "@PROJECT_VERSION@.0"
!define VIMBREL_PUBLISHER "@VIMBREL_RC_CompanyName@"
!define VIMBREL_PRODUCT "@VIMBREL_RC_ProductName@"
!define VIMBREL_COPYRIGHT "@VIMBREL_RC_LegalCopyright@"
!define VIMBREL_ICON "@CMAKE_SOURCE_DIR@/src/core/pictures/vimbrel.ico"
]] @ONLY)

set(VIMBREL_RC ${CMAKE_SOURCE_DIR}/src/win32/resources/vimbrel.rc)
set_source_files_properties(${VIMBREL_RC} PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/src/core/pictures/floor.bmp;${CMAKE_SOURCE_DIR}/src/core/pictures/face.bmp;${CMAKE_SOURCE_DIR}/src/core/pictures/vimbrel.ico;${CMAKE_BINARY_DIR}/generated/vimbrel.manifest")

add_executable(vimbrel_scr WIN32 src/win32/win_main.cpp ${VIMBREL_RC})
set_target_properties(vimbrel_scr PROPERTIES OUTPUT_NAME ${VIMBREL_SCR_NAME} SUFFIX ".scr")
target_link_libraries(vimbrel_scr PRIVATE vimbrel_shell)
# No time stamp in the PE header: the same sources give the same bytes.
target_link_options(vimbrel_scr PRIVATE -static -s -Wl,--no-insert-timestamp ${VIMBREL_EXPORT_FLAGS}
  ${VIMBREL_PE_VERSION_FLAGS})

# The paint benchmark: the scene window's paint against a plain 32-bit blit,
# run by hand under Wine (README, Performance); no test runs it.
add_executable(vimbrel-paint-bench ${CMAKE_SOURCE_DIR}/bench/paint_bench_win32.cpp ${VIMBREL_RC})
target_link_libraries(vimbrel-paint-bench PRIVATE vimbrel_shell)
target_link_options(vimbrel-paint-bench PRIVATE -static ${VIMBREL_PE_VERSION_FLAGS})

# GoogleTest from Debian's source package, cross-compiled.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -w)
target_compile_options(gtest_main PRIVATE -w)
# GoogleTest's port hook, ahead of its own: Notification without std::mutex,
# which the win32 thread model lacks (see the toolchain file).
target_include_directories(gtest BEFORE PUBLIC ${CMAKE_SOURCE_DIR}/tests/win32/gtest_port)

file(GLOB VIMBREL_WIN32_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/support/*.cpp)
add_library(vimbrel_win32_test_support STATIC ${VIMBREL_WIN32_SUPPORT})
target_include_directories(vimbrel_win32_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests/win32 ${CMAKE_SOURCE_DIR}/tests/native)
target_link_libraries(vimbrel_win32_test_support PUBLIC vimbrel_shell gtest)
target_compile_definitions(vimbrel_win32_test_support PUBLIC
  VIMBREL_SCR_PATH="$<TARGET_FILE:vimbrel_scr>"
  VIMBREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
# Every test program includes these: compiled once, for all of them.
target_precompile_headers(vimbrel_win32_test_support PRIVATE <windows.h> <gtest/gtest.h>)

# One test program per file; ctest runs each through Wine with a deadline.
file(GLOB VIMBREL_WIN32_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/*_test.cpp)
foreach(test_source ${VIMBREL_WIN32_TESTS})
  get_filename_component(test_name ${test_source} NAME_WE)
  add_executable(${test_name} ${test_source} ${VIMBREL_RC})
  target_link_libraries(${test_name} PRIVATE vimbrel_win32_test_support gtest_main)
  target_link_options(${test_name} PRIVATE -static ${VIMBREL_EXPORT_FLAGS} ${VIMBREL_PE_VERSION_FLAGS})
  add_dependencies(${test_name} vimbrel_scr)
  target_precompile_headers(${test_name} REUSE_FROM vimbrel_win32_test_support)
  add_test(NAME win32_${VIMBREL_SCR_NAME}_${test_name} COMMAND ${test_name})
  set_tests_properties(win32_${VIMBREL_SCR_NAME}_${test_name} PROPERTIES TIMEOUT 240)
endforeach()

file(GLOB VIMBREL_WIN32_TEST_CMAKE CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/*.cmake)
foreach(extra ${VIMBREL_WIN32_TEST_CMAKE})
  include(${extra})
endforeach()
