#pragma once
#include "ui/framework/images/SvgIcon.h"

#include <functional>
#include <string>

namespace UIE {

// Asked first by GetNamedIcon when set; returns an icon for the name or null to fall back.
extern std::function<CUiSvgIcon*(const std::wstring& name)> IconProvider;

// The process-lifetime icon for a name of the icon table; null when its resource is missing or unparsed.
CUiSvgIcon* GetNamedIcon(const std::wstring& name);
// The module whose code this is; its resources hold the icons.
HMODULE GetResourceModule();

} // namespace UIE
