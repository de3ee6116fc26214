# The 32-bit Windows program.
set(TAMBRELL_WINDOWS_CPU i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
