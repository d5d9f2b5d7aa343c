#pragma once

// The few Windows services setup.exe needs, in the core's UTF-8 strings.
#include <windows.h>

#include <string>
#include <vector>

namespace setup::win32 {

std::wstring wide(const std::string &utf8);
std::string narrow(const std::wstring &text);

// The folder that holds setup.exe.
std::string programFolder();
// %LOCALAPPDATA% (the user's own application data on this computer).
std::string localAppData();
// The root of the volume that holds `path` ("D:\"), or empty.
std::string volumeRootOf(const std::string &path);
// The roots of the drives, "A:\" to "Z:\".
std::vector<std::string> driveRoots();
// The drive's root with its name when it has one, "C:\  [System]".
std::string driveLabel(const std::string &root);

// A modal error box titled as all of setup's messages are.
void showError(HWND owner, const std::string &text);

// Opens `file` the way Explorer would (a page in the default browser, a
// program started) with `folder` as its working folder; false when nothing
// was started.
bool openFile(HWND owner, const std::string &file, const std::string &folder);

// The message font of the system (Segoe UI on current Windows).
HFONT messageFont();

} // namespace setup::win32
