# Second toolchain: Debian's Clang for the same 32-bit MinGW-w64 target, on the GCC
# cross compiler's sysroot, libstdc++ and posix threads, linked by lld. A build check;
# the tests run on the GCC build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET i686-w64-mingw32)
set(CMAKE_CXX_COMPILER_TARGET i686-w64-mingw32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
# GNU's dlltool makes the delay-load import libraries; llvm-dlltool has no such output.
set(CMAKE_DLLTOOL i686-w64-mingw32-dlltool)
set(CMAKE_NM i686-w64-mingw32-nm)
set(CMAKE_SYSROOT /usr/i686-w64-mingw32)

# Clang does not find Debian's "12-posix" GCC directory by itself.
file(GLOB ZMX_GCC_DIRS /usr/lib/gcc/i686-w64-mingw32/*-posix)
list(GET ZMX_GCC_DIRS 0 ZMX_GCC_DIR)
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES
    ${ZMX_GCC_DIR}/include/c++ ${ZMX_GCC_DIR}/include/c++/i686-w64-mingw32 ${ZMX_GCC_DIR}/include/c++/backward)
# GCC's posix driver adds winpthreads, which its libstdc++ needs for std::thread; lld
# finds archive members whatever the order.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -L${ZMX_GCC_DIR} -lpthread")

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run")
