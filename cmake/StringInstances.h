// Included before every source of the program (see CMakeLists.txt). libstdc++ declares its
// std::string and std::wstring instantiations extern, so every program links the whole of
// both from its archive, compiled without per-function sections. Taking back only those
// declarations, as libstdc++'s own value -1 does and as a C++20 build does anyway, lets
// each source instantiate the members it uses, and the linker drop the rest.
#pragma once
#if __has_include(<bits/c++config.h>)
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1
#endif
