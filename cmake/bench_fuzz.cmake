# bench_fuzz.cmake - the benchmark program, the fuzz targets and their tests.
#
#   vimbrel-bench            Google Benchmark: frame and initialisation cost
#                            beside the display path (palette conversion of
#                            the frame and a copy of the result), built with
#                            the products' optimisation (not in the sanitizer
#                            build, where timings mean nothing).
#   vimbrel-frame-count      a fixed run of updates, for callgrind's counts.
#   vimbrel-fuzz-replay-<t>  runs fuzz target <t> once over every file of its
#                            corpus fuzz/corpus/<t>/; ctest test fuzz_replay_<t>.
#   vimbrel-fuzz-<t>         the libFuzzer program (clang with VIMBREL_SANITIZE
#                            only); ctest test fuzz_<t> fuzzes for
#                            VIMBREL_FUZZ_SECONDS, keeping what it finds in
#                            build/.../fuzz/<t>/ and reading the committed
#                            corpus as seeds.
#
# Included from native.cmake.

set(VIMBREL_FUZZ_SECONDS 20 CACHE STRING "Seconds each fuzz target runs as a ctest test")
set(VIMBREL_FUZZ_TARGETS bitmap frame)
# The longest input each target makes: the bitmap target's covers the
# committed pictures of full size among its seeds (about 600 KB); 0 lets
# libFuzzer choose from the seeds.
set(VIMBREL_FUZZ_MAX_LEN_bitmap 655360)
set(VIMBREL_FUZZ_MAX_LEN_frame 0)

if(NOT VIMBREL_SANITIZE)  # timings mean nothing under the sanitizers
  # A fixed run of updates for instruction counts under callgrind.
  add_executable(vimbrel-frame-count ${CMAKE_SOURCE_DIR}/bench/frame_count.cpp
                                     ${CMAKE_SOURCE_DIR}/src/wayland/portable/output_frame.cpp)
  target_compile_options(vimbrel-frame-count PRIVATE ${VIMBREL_PRODUCT_FLAGS})
  target_link_libraries(vimbrel-frame-count PRIVATE vimbrel_core_product)
  find_package(benchmark)
  if(benchmark_FOUND)
    file(GLOB VIMBREL_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*_bench.cpp)
    add_executable(vimbrel-bench ${VIMBREL_BENCH_SOURCES})
    target_compile_options(vimbrel-bench PRIVATE ${VIMBREL_PRODUCT_FLAGS})
    target_link_libraries(vimbrel-bench PRIVATE vimbrel_core_product benchmark::benchmark_main)
  else()
    message(STATUS "Google Benchmark not found: vimbrel-bench is not built")
  endif()
endif()

# A plain replay of every corpus, in every build: the regression inputs stay
# tests even where libFuzzer is not available.
foreach(target ${VIMBREL_FUZZ_TARGETS})
  add_executable(vimbrel-fuzz-replay-${target}
    ${CMAKE_SOURCE_DIR}/fuzz/${target}_fuzzer.cpp ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cpp)
  target_link_libraries(vimbrel-fuzz-replay-${target} PRIVATE vimbrel_core)
  add_test(NAME fuzz_replay_${target}
    COMMAND vimbrel-fuzz-replay-${target} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${target})
  set_tests_properties(fuzz_replay_${target} PROPERTIES TIMEOUT 120)
endforeach()

if(VIMBREL_SANITIZE AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  # The core once more with coverage feedback for libFuzzer, optimised a
  # little so that a run tries more inputs; the tests keep the plain library.
  add_library(vimbrel_core_fuzz STATIC ${VIMBREL_CORE_SOURCES})
  target_include_directories(vimbrel_core_fuzz PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(vimbrel_core_fuzz PRIVATE -O1 -fsanitize=fuzzer-no-link)
  target_link_libraries(vimbrel_core_fuzz PUBLIC vimbrel_embedded_pictures)

  foreach(target ${VIMBREL_FUZZ_TARGETS})
    add_executable(vimbrel-fuzz-${target} ${CMAKE_SOURCE_DIR}/fuzz/${target}_fuzzer.cpp)
    target_link_libraries(vimbrel-fuzz-${target} PRIVATE vimbrel_core_fuzz)
    target_compile_options(vimbrel-fuzz-${target} PRIVATE -O1 -fsanitize=fuzzer)
    target_link_options(vimbrel-fuzz-${target} PRIVATE -fsanitize=fuzzer)
    # What the fuzzer finds stays in the build tree; the committed corpus is
    # only read.
    set(work ${CMAKE_BINARY_DIR}/fuzz/${target})
    file(MAKE_DIRECTORY ${work}/corpus ${work}/artifacts)
    add_test(NAME fuzz_${target}
      COMMAND vimbrel-fuzz-${target} -max_total_time=${VIMBREL_FUZZ_SECONDS} -rss_limit_mb=2048 -timeout=20
              -max_len=${VIMBREL_FUZZ_MAX_LEN_${target}}
              -print_final_stats=1 -artifact_prefix=${work}/artifacts/
              ${work}/corpus ${CMAKE_SOURCE_DIR}/fuzz/corpus/${target})
    math(EXPR deadline "${VIMBREL_FUZZ_SECONDS} * 3 + 60")
    set_tests_properties(fuzz_${target} PROPERTIES TIMEOUT ${deadline})
  endforeach()
endif()
