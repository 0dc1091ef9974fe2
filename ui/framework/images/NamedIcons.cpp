#include "ui/framework/images/NamedIcons.h"

#include <map>

namespace UIE {

std::function<CUiSvgIcon*(const std::wstring& name)> IconProvider;

namespace {

struct NamedResource {
    const wchar_t* name;
    int id;
};

// 102 and 103 are the banner and logo PNGs; 107 is unused.
constexpr NamedResource iconTable[] = {
    {L"arrow_down", 101},  {L"back", 102},       {L"chrome_close", 103}, {L"chrome_max", 104},
    {L"chrome_menu", 105}, {L"chrome_min", 106}, {L"folder", 108},       {L"gear", 109},
};

int ResourceIdOf(const std::wstring& name)
{
    for (const NamedResource& entry : iconTable) {
        if (name == entry.name)
            return entry.id;
    }
    return 0;
}

// The icons are never deleted: their rasters are GDI+ bitmaps, and GDI+ is shut down
// before static destructors run.
std::map<std::wstring, CUiSvgIcon*>& NamedIconMap()
{
    static std::map<std::wstring, CUiSvgIcon*> icons;
    return icons;
}

} // namespace

CUiSvgIcon* GetNamedIcon(const std::wstring& name)
{
    if (name.empty())
        return nullptr;
    if (IconProvider) {
        if (CUiSvgIcon* provided = IconProvider(name))
            return provided;
    }
    auto& icons = NamedIconMap();
    auto found = icons.find(name);
    if (found != icons.end())
        return found->second->HasImage() ? found->second : nullptr;
    const int id = ResourceIdOf(name);
    if (id == 0)
        return nullptr;
    auto* icon = new CUiSvgIcon;
    // Kept even when the load fails, so a missing resource is looked for only once.
    icon->LoadFromResource(GetResourceModule(), id);
    icons[name] = icon;
    return icon->HasImage() ? icon : nullptr;
}

HMODULE GetResourceModule()
{
    // The module holding this function, which is not the process image when this code
    // is linked into a DLL.
    static HMODULE module = [] {
        HMODULE handle = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&GetResourceModule), &handle);
        return handle;
    }();
    return module;
}

} // namespace UIE
