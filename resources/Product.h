#pragma once

// The product this program removes, as its installer names it; the version record in
// Uninstall.rc spells the same name.
inline constexpr wchar_t kProductName[] = L"Qelvo视频格式转换器";
