#include "helpers/BoxAnswerer.h"

#include <algorithm>
#include <cwchar>

namespace zmxtest {

BoxAnswerer::BoxAnswerer() : thread([this] { Run(); }) {}

BoxAnswerer::~BoxAnswerer()
{
    stop = true;
    thread.join();
}

void BoxAnswerer::Answer(const std::wstring& title, int command)
{
    std::lock_guard<std::mutex> lock(mutex);
    answers[title] = command;
}

std::vector<BoxAnswerer::Seen> BoxAnswerer::SeenBoxes()
{
    std::lock_guard<std::mutex> lock(mutex);
    return seen;
}

std::vector<std::wstring> BoxAnswerer::SeenTitles()
{
    std::vector<std::wstring> titles;
    for (const Seen& box : SeenBoxes())
        titles.push_back(box.title);
    return titles;
}

BOOL CALLBACK BoxAnswerer::Collect(HWND window, LPARAM param)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && wcscmp(className, L"#32770") == 0)
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

void BoxAnswerer::Run()
{
    std::vector<HWND> answered;
    while (!stop) {
        std::vector<HWND> boxes;
        EnumWindows(&BoxAnswerer::Collect, reinterpret_cast<LPARAM>(&boxes));
        for (HWND box : boxes) {
            if (std::find(answered.begin(), answered.end(), box) != answered.end())
                continue;
            answered.push_back(box);
            wchar_t title[256] = {};
            wchar_t text[1024] = {};
            GetWindowTextW(box, title, 256);
            // The message box keeps its text in a static control with id 0xFFFF.
            GetDlgItemTextW(box, 0xFFFF, text, 1024);
            int command = 0;
            {
                std::lock_guard<std::mutex> lock(mutex);
                seen.push_back(Seen{title, text});
                auto found = answers.find(title);
                command = found != answers.end() ? found->second : 0;
            }
            if (!command)
                command = GetDlgItem(box, IDNO) ? IDNO : IDOK;
            // Like a click on the button: the box's own thread ends its modal loop.
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, command)));
        }
        Sleep(20);
    }
}

} // namespace zmxtest
