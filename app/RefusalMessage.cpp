#include "app/RefusalMessage.h"

#include "app/ProductInfo.h"

#include <windows.h>

namespace {

std::wstring Reason(InstallDirRefusal refusal)
{
    switch (refusal) {
    case InstallDirRefusal::InvalidPath:
        return L"这不是一个完整的文件夹路径。";
    case InstallDirRefusal::NotInstallation:
        return std::wstring(L"该文件夹不是") + kProductName + L"的安装目录。";
    case InstallDirRefusal::Protected:
        return L"该文件夹是系统或用户的重要文件夹（或包含这样的文件夹），不能删除。";
    case InstallDirRefusal::SystemFoldersUnknown:
        return L"无法确定系统文件夹的位置，为安全起见没有删除任何文件。";
    case InstallDirRefusal::Unidentified:
    case InstallDirRefusal::None:
        break;
    }
    return L"无法识别该文件夹。";
}

} // namespace

std::wstring RefusalMessage(const std::wstring& dir, InstallDirRefusal refusal)
{
    return L"无法卸载以下文件夹：\n" + dir + L"\n\n" + Reason(refusal);
}

void ShowRefusal(const std::wstring& dir, InstallDirRefusal refusal)
{
    MessageBoxW(nullptr, RefusalMessage(dir, refusal).c_str(), kRefusalTitle, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}
