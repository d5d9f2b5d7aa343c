#include "system.h"

#include "core/messages.h"
#include "core/text.h"

#include <shellapi.h>
#include <shlobj.h>

namespace setup::win32 {

std::wstring wide(const std::string &utf8)
{
    const std::u16string text = core::toUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}

std::string narrow(const std::wstring &text)
{
    return core::fromUtf16(std::u16string(text.begin(), text.end()));
}

std::string programFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0)
            return std::string();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t cut = path.find_last_of(L"\\/");
    if (cut == std::wstring::npos)
        return std::string();
    // A drive root keeps its separator: "D:\".
    return narrow(path.substr(0, cut == 2 ? cut + 1 : cut));
}

std::string localAppData()
{
    wchar_t buffer[32768];
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, 32768);
    if (length > 0 && length < 32768)
        return narrow(std::wstring(buffer, length));
    wchar_t folder[MAX_PATH];
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder)))
        return narrow(folder);
    return std::string();
}

std::string volumeRootOf(const std::string &path)
{
    wchar_t root[MAX_PATH + 1];
    if (!GetVolumePathNameW(wide(path).c_str(), root, MAX_PATH + 1))
        return std::string();
    return narrow(root);
}

std::vector<std::string> driveRoots()
{
    std::vector<std::string> roots;
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (drives & (1u << i))
            roots.push_back(std::string(1, char('A' + i)) + ":\\");
    }
    return roots;
}

std::string driveLabel(const std::string &root)
{
    const std::wstring path = wide(root);
    // Asking a floppy or an empty CD drive for its name waits on the drive.
    const UINT type = GetDriveTypeW(path.c_str());
    if (type != DRIVE_FIXED && type != DRIVE_RAMDISK)
        return root;
    wchar_t name[MAX_PATH + 1] = {};
    const UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    const BOOL known = GetVolumeInformationW(
        path.c_str(), name, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0);
    SetErrorMode(mode);
    if (!known || name[0] == L'\0')
        return root;
    return root + "  [" + narrow(name) + "]";
}

void showError(HWND owner, const std::string &text)
{
    MessageBoxW(owner, wide(text).c_str(), wide(core::messageTitle).c_str(),
        MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

bool openFile(HWND owner, const std::string &file, const std::string &folder)
{
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(
        owner, nullptr, wide(file).c_str(), nullptr, wide(folder).c_str(), SW_SHOWNORMAL));
    return result > 32;
}

HFONT messageFont()
{
    static HFONT font = [] {
        NONCLIENTMETRICSW metrics {};
        metrics.cbSize = sizeof metrics;
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
            return CreateFontIndirectW(&metrics.lfMessageFont);
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }();
    return font;
}

} // namespace setup::win32
