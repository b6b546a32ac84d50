# Cross-building the 64-bit Windows programs with MinGW-w64 (Debian's
# g++-mingw-w64-x86-64-posix): the posix thread model, because the C++
# standard library's threads and std::filesystem need it, and a static
# runtime, so that the programs run without the compiler's DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The main thread gets the 8 MiB stack it has on Linux (Windows gives 1 MiB),
# so that the deepest walks the limits allow behave the same on both.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--stack,8388608")
# The C runtime's own printf writes some numbers differently from the C
# standard (three-digit exponents); MinGW's conforming one writes them as on Linux.
add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)
# MinGW's g++ 12 sees overlapping copies in `"text" + std::string(...)` at -O2
# where there are none (its string concatenation inlined into memcpy with
# unbounded sizes); the same code is clean with g++ and clang on Linux.
add_compile_options(-Wno-restrict)
# Tests run under Wine on the build machine.
find_program(GLOWBOX_WINE NAMES wine64 wine)
if(GLOWBOX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${GLOWBOX_WINE})
endif()
