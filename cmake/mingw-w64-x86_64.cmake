# Cross build for 64-bit Windows with Debian's MinGW-w64 (the POSIX thread
# model, which std::thread needs):
#   cmake -S . -B build/windows -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake
# The programs link their runtime statically, so an .exe runs alone; the tests
# run under Wine (see cmake/wine-run.sh.in).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KELVANE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KELVANE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELVANE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KELVANE_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KELVANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
