#include "app/FolderIdentity.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const ULONGLONG kSerial64 = 0x1234ABCD5678EF90ull; // its low half is the 32-bit serial
const DWORD kSerial32 = 0x5678EF90;

// A 128-bit ID whose low 64 bits are index and whose high bytes are high.
FolderIdentity FromFileIdInfo(ULONGLONG serial, ULONGLONG index, BYTE high = 0)
{
    BYTE id[16] = {};
    std::memcpy(id, &index, sizeof(index));
    id[15] = high;
    return IdentityFromFileIdInfo(serial, id);
}

} // namespace

// One folder is one identity whichever call described it; an identity with a zero serial,
// a zero ID or the invalid ID is unknown and equals nothing, not even itself.
TEST(FolderIdentity, PairsCompareByOneFormatAndUnknownEqualsNothing)
{
    const struct {
        const char* name;
        FolderIdentity a;
        FolderIdentity b;
        bool equal;
    } cases[] = {
        {"the same 128-bit ID", FromFileIdInfo(kSerial64, 0x10000000000ABCull), FromFileIdInfo(kSerial64, 0x10000000000ABCull), true},
        {"128-bit ID and 64-bit index of one folder", FromFileIdInfo(kSerial64, 0x10000000000ABCull),
         IdentityFromHandleInfo(kSerial32, 0x100000, 0xABC), true},
        {"the same 64-bit index", IdentityFromHandleInfo(kSerial32, 1, 2), IdentityFromHandleInfo(kSerial32, 1, 2), true},
        {"another index", IdentityFromHandleInfo(kSerial32, 1, 2), IdentityFromHandleInfo(kSerial32, 1, 3), false},
        {"another volume", IdentityFromHandleInfo(kSerial32, 1, 2), IdentityFromHandleInfo(kSerial32 + 1, 1, 2), false},
        {"an ID beyond 64 bits", FromFileIdInfo(kSerial64, 0xABC, 7), IdentityFromHandleInfo(kSerial32, 0, 0xABC), false},
        {"zero IDs (no 128-bit IDs)", FromFileIdInfo(kSerial64, 0), FromFileIdInfo(kSerial64, 0), false},
        {"zero indexes", IdentityFromHandleInfo(kSerial32, 0, 0), IdentityFromHandleInfo(kSerial32, 0, 0), false},
        {"invalid indexes", IdentityFromHandleInfo(kSerial32, 0xFFFFFFFF, 0xFFFFFFFF),
         IdentityFromHandleInfo(kSerial32, 0xFFFFFFFF, 0xFFFFFFFF), false},
        {"zero serials", FromFileIdInfo(0, 0xABC), IdentityFromHandleInfo(0, 0, 0xABC), false},
        {"no identity at all", FolderIdentity(), FolderIdentity(), false},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(row.a == row.b, row.equal) << row.name;
        EXPECT_EQ(row.a != row.b, !row.equal) << row.name;
        EXPECT_EQ(ContainsIdentity({row.a}, row.b), row.equal) << row.name;
    }
}
