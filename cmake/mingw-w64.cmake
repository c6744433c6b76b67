# Cross build for 64-bit Windows with Debian's MinGW-w64 toolchain (the
# "posix" thread model, which std::thread and std::mutex need):
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mw_mingw_prefix x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mw_mingw_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mw_mingw_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${mw_mingw_prefix}-windres)

# Libraries and headers of the target come from the MinGW sysroot (zlib from
# libz-mingw-w64-dev) and from any prefix given in CMAKE_PREFIX_PATH (the
# GoogleTest built for Windows); programs run at build time come from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${mw_mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# Self-contained programs: the C++ runtime, the thread library and zlib are
# linked in, so an .exe runs without MinGW's DLLs beside it.
set(ZLIB_USE_STATIC_LIBS ON)
# printf and friends follow C99 (%zu, %lld) as on Linux.
set(CMAKE_CXX_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Programs of the build run under Wine where one is installed, through a
# wrapper that hands their output on once they end (see the script).
find_program(MW_WINE_PROGRAM NAMES wine64 wine HINTS /usr/lib/wine)
if(MW_WINE_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR bash ${CMAKE_CURRENT_LIST_DIR}/windows/run-under-wine.sh ${MW_WINE_PROGRAM})
endif()
