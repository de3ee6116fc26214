# The 64-bit Windows program.
set(TAMBRELL_WINDOWS_CPU x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
