# The Windows programs, cross-compiled with mingw-w64's posix-thread compilers for the processor
# that the including toolchain file names (TAMBRELL_WINDOWS_CPU).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TAMBRELL_WINDOWS_CPU})
set(CMAKE_C_COMPILER ${TAMBRELL_WINDOWS_CPU}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAMBRELL_WINDOWS_CPU}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${TAMBRELL_WINDOWS_CPU}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TAMBRELL_WINDOWS_CPU}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
