# The 64-bit product, vimbrel64.scr.
set(VIMBREL_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
