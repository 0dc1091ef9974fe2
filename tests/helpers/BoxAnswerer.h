#pragma once
#include <windows.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zmxtest {

// The user in front of the message boxes: answers every box of this process by its title
// and remembers what each one said. A box nobody expected gets IDOK or IDNO, so a wrong
// turn of the flow shows up in the record instead of hanging the test.
class BoxAnswerer {
public:
    struct Seen {
        std::wstring title;
        std::wstring text;
    };

    BoxAnswerer();
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    // The button to press in the box titled title.
    void Answer(const std::wstring& title, int command);
    std::vector<Seen> SeenBoxes();
    std::vector<std::wstring> SeenTitles();

private:
    static BOOL CALLBACK Collect(HWND window, LPARAM param);
    void Run();

    std::mutex mutex;
    std::map<std::wstring, int> answers;
    std::vector<Seen> seen;
    std::atomic<bool> stop{false};
    std::thread thread;
};

} // namespace zmxtest
