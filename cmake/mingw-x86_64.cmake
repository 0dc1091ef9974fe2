# 64-bit Windows through MinGW-w64 GCC. The product is the 32-bit build; this one runs the
# same sources and tests where the host cannot execute 32-bit code, and catches what only a
# 64-bit process gets wrong.
set(ZMX_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-gcc.cmake)
