# Cross-build for 64-bit Windows with mingw-w64 (the -posix compiler variant,
# whose runtime has std::thread), statically linked, tests run under Wine.
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
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Debian installs Wine outside the PATH (package wine64).
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
# GCC 12 reports false -Wrestrict warnings inside std::string concatenation
# at -O2 and above (a known compiler fault); they are not about our code.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
