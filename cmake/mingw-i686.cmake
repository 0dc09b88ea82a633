# The 32-bit product, vimbrel.scr.
set(VIMBREL_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
