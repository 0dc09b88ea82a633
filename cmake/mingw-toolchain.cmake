# Cross-compiling the product with MinGW-w64 for VIMBREL_MINGW_ARCH (i686 or
# x86_64); the runtime is linked statically. Included by the two toolchain
# files.
#
# The win32 thread model: its C++ runtime makes its few locks from Windows'
# own critical sections and semaphores, where the posix model would link
# winpthreads, whose imports (GetTickCount64 among them) no Windows before
# Vista has. The program starts no thread. GoogleTest, built with the same
# compiler for the Win32 tests, gets the one piece it misses under this model
# from tests/win32/gtest_port/ (cmake/win32.cmake).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VIMBREL_MINGW_ARCH})
set(CMAKE_C_COMPILER ${VIMBREL_MINGW_ARCH}-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER ${VIMBREL_MINGW_ARCH}-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER ${VIMBREL_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VIMBREL_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
