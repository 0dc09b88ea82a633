# web.cmake - the browser page (src/web/), built with emscripten (the web
# preset) into the build folder: index.html beside vimbrel.js and
# vimbrel.wasm, which is everything a static host serves. The pictures are
# built into the module as into the native programs; nothing is fetched
# from anywhere else. Debian's emscripten works offline from its own
# prebuilt system library (its cache is frozen); no "port" is used, since a
# port would be downloaded.
include(${CMAKE_SOURCE_DIR}/cmake/embedded_pictures.cmake)
target_link_libraries(vimbrel_core PUBLIC vimbrel_embedded_pictures)
# WebAssembly's 128-bit SIMD, through which emscripten gives the core's SSE2
# paths (the textured fill, the RGBA copy): the x86 builds' code and frames,
# about twice as fast as the scalar paths here. Browsers since 2021-2023
# (Chromium 91, Firefox 89, Safari 16.4) run it; an older one cannot compile
# the module, and the page says so.
target_compile_options(vimbrel_core PRIVATE -msimd128 -msse2)

file(GLOB VIMBREL_WEB_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/web/*.cpp)
add_executable(vimbrel_web ${VIMBREL_WEB_SOURCES})
target_link_libraries(vimbrel_web PRIVATE vimbrel_web_portable vimbrel_core)
set_target_properties(vimbrel_web PROPERTIES OUTPUT_NAME vimbrel SUFFIX .js
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_options(vimbrel_web PRIVATE
  --no-entry -sENVIRONMENT=web -sFILESYSTEM=0 -sALLOW_MEMORY_GROWTH=1 -sMALLOC=emmalloc
  -sEXPORTED_RUNTIME_METHODS=ccall,UTF8ToString)
# Debian's emscripten runs its JavaScript optimizer under node, which finds
# Debian's acorn only on this path when node is not Debian's own.
if(EXISTS /usr/share/nodejs/acorn)
  set_property(TARGET vimbrel_web PROPERTY RULE_LAUNCH_LINK "${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs")
endif()

# The page names the release's packages of this version.
configure_file(${CMAKE_SOURCE_DIR}/src/web/index.html ${CMAKE_BINARY_DIR}/index.html @ONLY)
