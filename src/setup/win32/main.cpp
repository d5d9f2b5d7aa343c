// setup.exe: the CD installer for Windows.
#include "form1.h"
#include "system.h"

#include "core/paths.h"

#include <commctrl.h>
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // For ShellExecuteW, which may reach the shell's own extensions.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls { sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES };
    InitCommonControlsEx(&controls);

    setup::win32::Environment environment;
    environment.programFolder = setup::win32::programFolder();
    environment.markerFolder = setup::core::windowsMarkerFolder(setup::win32::localAppData());
    setup::win32::Form1 window(environment);
    if (!window.Form_Load() && window.ended())
        return 0;
    window.showCentered();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!window.preTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    CoUninitialize();
    return 0;
}
