// The handle owners: each frees its kind once, and an owner of a kind whose open fails with
// INVALID_HANDLE_VALUE is empty after a failed open, so nothing closes a handle never opened.
#include "base/UniqueHandle.h"
#include "helpers/TestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

using namespace zmxtest;

namespace {

bool IsLiveGdiObject(HGDIOBJ object)
{
    return GetObjectType(object) != 0;
}

TEST(HandleOwners, FreesOnceWhateverPathTheHandleTakes)
{
    HBRUSH destroyed = CreateSolidBrush(RGB(1, 2, 3));
    { Base::UniqueBrush owner(destroyed); }
    EXPECT_FALSE(IsLiveGdiObject(destroyed)) << "destructor";

    HBRUSH replaced = CreateSolidBrush(RGB(1, 2, 3));
    Base::UniqueBrush owner(replaced);
    HBRUSH replacement = CreateSolidBrush(RGB(3, 2, 1));
    owner.reset(replacement);
    EXPECT_FALSE(IsLiveGdiObject(replaced)) << "reset";
    EXPECT_TRUE(IsLiveGdiObject(replacement));

    Base::UniqueBrush moved(std::move(owner));
    EXPECT_FALSE(owner);
    EXPECT_EQ(moved.get(), replacement);
    Base::UniqueBrush assigned;
    assigned = std::move(moved);
    EXPECT_TRUE(IsLiveGdiObject(replacement)) << "moving hands over, it does not free";
    assigned.reset();
    EXPECT_FALSE(IsLiveGdiObject(replacement)) << "move assignment";

    HBRUSH released = CreateSolidBrush(RGB(1, 2, 3));
    { Base::UniqueBrush owner2(released); EXPECT_EQ(owner2.release(), released); }
    EXPECT_TRUE(IsLiveGdiObject(released)) << "release gives ownership away";
    DeleteObject(released);
}

bool IsOpenHandle(HANDLE handle)
{
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

// Owner is empty as its kind's failure value, after a failed open, and after a move away;
// it owns what opened. open(path) opens path the kind's way.
template <typename Owner, typename Open>
void ExpectEmptyUnlessOpened(const char* kind, const ScratchDir& scratch, Open open)
{
    SCOPED_TRACE(kind);
    EXPECT_EQ(Owner().get(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(Owner(open(scratch / L"missing.txt"))) << "a failed open owns nothing";
    Owner owner(open(scratch / L"a.txt"));
    EXPECT_TRUE(owner);
    const Owner moved(std::move(owner));
    EXPECT_FALSE(owner);
    EXPECT_TRUE(moved);
}

TEST(HandleOwners, FileAndFindOwnersOwnOnlyWhatOpened)
{
    const ScratchDir scratch;
    ASSERT_TRUE(WriteFileBytes(scratch / L"a.txt", "a"));
    ExpectEmptyUnlessOpened<Base::UniqueFileHandle>("file", scratch, [](const std::wstring& path) {
        return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    });
    WIN32_FIND_DATAW entry;
    ExpectEmptyUnlessOpened<Base::UniqueFindHandle>(
        "find", scratch, [&entry](const std::wstring& path) { return FindFirstFileW(path.c_str(), &entry); });

    Base::UniqueFileHandle file(CreateFileW((scratch / L"a.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    const HANDLE opened = file.get();
    ASSERT_TRUE(IsOpenHandle(opened));
    file.reset();
    EXPECT_FALSE(IsOpenHandle(opened)) << "reset closes";
}

TEST(HandleOwners, RegistryKeyIsClosedWithItsOwner)
{
    HKEY opened = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &opened), ERROR_SUCCESS);
    const auto isOpen = [](HKEY key) {
        return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr, nullptr) == ERROR_SUCCESS;
    };
    {
        const Base::UniqueRegistryKey key(opened);
        EXPECT_TRUE(isOpen(key.get()));
    }
    EXPECT_FALSE(isOpen(opened));
}

} // namespace
