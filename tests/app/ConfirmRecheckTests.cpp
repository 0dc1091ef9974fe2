#include "app/InstallDir.h"
#include "app/UninstallerApp.h"
#include "helpers/TestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zmxtest;

namespace {

// ConfirmAndStart without a window: Yes to the confirmation, every box recorded, and a
// worker starter that only counts. A refused attempt returns before any control is touched;
// the accepted path, through to the removal, is the flow tests' (appflow).
class ConfirmRecheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.showMessageBox = [this](HWND, const wchar_t* text, const wchar_t* caption, UINT style) {
            boxes.push_back({caption, text, style});
            return IDYES;
        };
        app.SetWorkerStarter([this](std::thread&, std::function<void()>) {
            ++workersStarted;
            return true;
        });
    }

    struct Box {
        std::wstring caption;
        std::wstring text;
        UINT style;
    };

    void ExpectRefused()
    {
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[0].caption, L"确认卸载");
        EXPECT_EQ(boxes[1].caption, L"卸载失败");
        EXPECT_EQ(boxes[1].text, L"部分文件无法删除，请关闭主程序后重试。");
        EXPECT_EQ(boxes[1].style, static_cast<UINT>(MB_OK | MB_ICONERROR));
        EXPECT_EQ(workersStarted, 0);
        EXPECT_FALSE(app.Busy());
    }

    UninstallerApp app;
    std::vector<Box> boxes;
    int workersStarted = 0;
};

} // namespace

TEST_F(ConfirmRecheck, FolderThatNoLongerResolvesToItselfIsNotRemoved)
{
    ScratchDir scratch;
    const std::wstring dir = scratch.MakeDir(L"Qelvo long folder name");
    ASSERT_TRUE(WriteFileBytes(dir + L"\\Uninstall.exe", "MZ"));
    wchar_t shortForm[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(dir.c_str(), shortForm, MAX_PATH), 0u);
    ASSERT_NE(std::wstring(shortForm), dir);
    // Another spelling than the one accepted stands for a folder that changed meanwhile:
    // no accepted folder carries one, and without one nothing is removed.
    EXPECT_FALSE(AcceptedFolder::Read(shortForm).has_value());
    app.installDir = AcceptedFolder::Read(shortForm);

    app.ConfirmAndStart();

    ExpectRefused();
    EXPECT_TRUE(FileExists(dir + L"\\Uninstall.exe"));
}

TEST_F(ConfirmRecheck, ProtectedFolderIsNotRemoved)
{
    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    app.installDir = AcceptedFolder::Read(CanonicalPath(temp));
    ASSERT_TRUE(app.installDir.has_value());

    app.ConfirmAndStart();

    ExpectRefused();
}
