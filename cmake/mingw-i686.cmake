# The product: 32-bit Windows through MinGW-w64 GCC.
set(ZMX_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-gcc.cmake)
