# Cross-compiles the launcher for 64-bit Windows with MinGW-w64 GCC on Linux (Debian's
# g++-mingw-w64-x86-64-posix), and runs the built programs under Wine.
#
# The -posix compilers are named explicitly: the -win32 flavour has no std::thread or
# std::mutex, and installing it switches the unsuffixed names. Programs are linked statically,
# so they need no libstdc++, libgcc or libwinpthread DLL beside them, only system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VANTU_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VANTU_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VANTU_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VANTU_MINGW_TRIPLE}-windres)

# Libraries, headers and CMake packages come from the MinGW-w64 tree only, never from the
# build machine's own /usr; programs (windres, Wine) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VANTU_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Release builds are optimised for size: the launcher waits on the player, never on its own
# code, and the program a player copies stays one exe of at most 1 MiB with the static C++
# runtime inside (-O3 made it about 90 KB larger). Link-time optimisation would shrink it
# further, but Debian 12's MinGW-w64 GCC stops with an internal error on it.
# (Cache entries: CMake appends its own -O3 to the *_INIT flags, where the later flag wins.)
set(CMAKE_C_FLAGS_RELEASE "-Os -DNDEBUG" CACHE STRING "Flags of Release builds")
set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG" CACHE STRING "Flags of Release builds")

# ctest (and gtest discovery) start the Windows programs through Wine, in a private prefix
# inside the build folder that the wrapper makes on first use: never the user's ~/.wine.
get_filename_component(VANTU_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${VANTU_SOURCE_ROOT}/tools/wine-run.sh;--prefix;${CMAKE_BINARY_DIR}/wine-prefix;--")
