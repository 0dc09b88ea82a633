# Linux: tools, native tests and benchmarks on the portable core.
find_package(GTest REQUIRED)
find_package(PNG REQUIRED)
include(GoogleTest)

set(VIMBREL_TOOLS_DIR ${CMAKE_SOURCE_DIR}/tools)

# The picture generator: its library makes the bytes, the tool writes them,
# and a test regenerates them and compares with the committed files.
file(GLOB VIMBREL_PICTURE_SOURCES CONFIGURE_DEPENDS ${VIMBREL_TOOLS_DIR}/pictures/*.cpp)
add_library(vimbrel_pictures STATIC ${VIMBREL_PICTURE_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
target_include_directories(vimbrel_pictures PUBLIC ${VIMBREL_TOOLS_DIR})
target_link_libraries(vimbrel_pictures PUBLIC vimbrel_core)
if(EXISTS ${VIMBREL_TOOLS_DIR}/make_pictures.cpp)
  add_executable(vimbrel-pictures ${VIMBREL_TOOLS_DIR}/make_pictures.cpp)
  target_link_libraries(vimbrel-pictures PRIVATE vimbrel_pictures)
endif()

file(GLOB VIMBREL_RENDER_SOURCES CONFIGURE_DEPENDS ${VIMBREL_TOOLS_DIR}/render/*.cpp)
if(VIMBREL_RENDER_SOURCES)
  add_executable(vimbrel-render ${VIMBREL_RENDER_SOURCES})
  target_link_libraries(vimbrel-render PRIVATE vimbrel_core PNG::PNG)
endif()

file(GLOB_RECURSE VIMBREL_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
add_executable(native_tests ${VIMBREL_NATIVE_TESTS})
target_include_directories(native_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/native)
target_link_libraries(native_tests PRIVATE vimbrel_core vimbrel_pictures GTest::gtest GTest::gtest_main GTest::gmock PNG::PNG)
target_compile_definitions(native_tests PRIVATE
  VIMBREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  VIMBREL_BINARY_DIR="${CMAKE_BINARY_DIR}")
gtest_discover_tests(native_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
