// A screen reader's first look at the uninstall window from another process, as Narrator and
// NVDA take it: prints the client object and each child, one line each, in UTF-8:
//   client <hresult> <name>
//   child <id> <role> <state hex> <left> <top> <width> <height> <name>|<value>
// with "hidden" instead of "child" for a child that says it is invisible. With
// "press <name>" it then runs the default action of the shown child of that name; with
// "point <x> <y>" it looks up the object at that screen point as the system finds it
// (AccessibleObjectFromPoint) and prints
//   point <hresult> <child id> <role> <name>
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &result[0], size, nullptr,
                        nullptr);
    return result;
}

std::wstring Take(BSTR text)
{
    std::wstring result = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return result;
}

VARIANT Child(LONG id)
{
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    HWND window = FindWindowW(L"Zmx.UiWindow", nullptr);
    if (!window) {
        std::printf("none\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (argc >= 4 && wcscmp(argv[1], L"point") == 0) {
        const POINT point{_wtoi(argv[2]), _wtoi(argv[3])};
        IAccessible* found = nullptr;
        VARIANT child;
        VariantInit(&child);
        const HRESULT result = AccessibleObjectFromPoint(point, &found, &child);
        VARIANT role;
        VariantInit(&role);
        BSTR name = nullptr;
        if (found) {
            found->get_accRole(child, &role);
            found->get_accName(child, &name);
            found->Release();
        }
        std::printf("point %08lx %ld %ld %s\n", static_cast<unsigned long>(result),
                    child.vt == VT_I4 ? child.lVal : -1L, role.vt == VT_I4 ? role.lVal : -1L,
                    Utf8(Take(name)).c_str());
        std::fflush(stdout);
        CoUninitialize();
        return found ? 0 : 1;
    }
    IAccessible* client = nullptr;
    const HRESULT found = AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                                     reinterpret_cast<void**>(&client));
    BSTR name = nullptr;
    if (client)
        client->get_accName(Child(CHILDID_SELF), &name);
    std::printf("client %08lx %s\n", static_cast<unsigned long>(found), Utf8(Take(name)).c_str());
    int status = client ? 0 : 1;
    if (client) {
        LONG count = 0;
        client->get_accChildCount(&count);
        LONG pressed = 0;
        for (LONG id = 1; id <= count; ++id) {
            VARIANT role, state;
            VariantInit(&role);
            VariantInit(&state);
            client->get_accRole(Child(id), &role);
            client->get_accState(Child(id), &state);
            BSTR childName = nullptr, value = nullptr;
            client->get_accName(Child(id), &childName);
            client->get_accValue(Child(id), &value);
            LONG left = 0, top = 0, width = 0, height = 0;
            client->accLocation(&left, &top, &width, &height, Child(id));
            const std::wstring text = Take(childName);
            const bool hidden = state.vt == VT_I4 && (state.lVal & STATE_SYSTEM_INVISIBLE);
            std::printf("%s %ld %ld %lx %ld %ld %ld %ld %s|%s\n", hidden ? "hidden" : "child", id, role.vt == VT_I4 ? role.lVal : -1L,
                        state.vt == VT_I4 ? state.lVal : 0L, left, top, width, height, Utf8(text).c_str(),
                        Utf8(Take(value)).c_str());
            if (!hidden && argc >= 3 && wcscmp(argv[1], L"press") == 0 && text == argv[2])
                pressed = id;
        }
        if (pressed) {
            const HRESULT result = client->accDoDefaultAction(Child(pressed));
            std::printf("pressed %ld %08lx\n", pressed, static_cast<unsigned long>(result));
            status = FAILED(result) ? 1 : 0;
        }
        client->Release();
    }
    std::fflush(stdout);
    CoUninitialize();
    return status;
}
