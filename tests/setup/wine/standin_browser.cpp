// A stand-in for the browser in the tests of setup.exe under Wine: the test
// makes it the program that opens .html files, and it appends the command
// line it was started with to C:\standin-browser.log, one line each time.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const wchar_t *line = GetCommandLineW();
    HANDLE log = CreateFileW(L"C:\\standin-browser.log", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return 1;
    char bytes[4096];
    const int size
        = WideCharToMultiByte(CP_UTF8, 0, line, -1, bytes, sizeof bytes - 2, nullptr, nullptr);
    DWORD written = 0;
    if (size > 0) {
        bytes[size - 1] = '\r';
        bytes[size] = '\n';
        WriteFile(log, bytes, DWORD(size + 1), &written, nullptr);
    }
    CloseHandle(log);
    return 0;
}
