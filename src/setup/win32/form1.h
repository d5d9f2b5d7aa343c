#pragma once

// The installer window of setup.exe: three pages shown as pictures, with
// Next, Back and Exit buttons; the same behaviour as the Qt setup, on the
// same core.
#include "form2.h"

#include "core/install.h"

#include <windows.h>

#include <array>
#include <string>

namespace setup::win32 {

struct Environment {
    std::string programFolder; // setup.exe's own folder
    std::string markerFolder; // %LOCALAPPDATA%\zorvel-setup
};

class Form1 {
public:
    explicit Form1(Environment environment);

    // Reads cd.inf and starts a remembered program. False when setup has to
    // end (cd.inf missing, incomplete or refused); the user was told why.
    bool Form_Load();
    void showCentered();

    std::string itit() const;
    void getto(int arg);
    bool copfol(); // false when the installation failed; the user was told why
    void chek();
    void RunIt(const std::string &ExFile);
    void upd();

    void btn_Click(int index);
    void bro_Click();
    void Timer1_Timer();

    core::InstallPlan plan() const;
    std::string markerPath() const;

    // Keys of the wizard and the picker, before the window gets them:
    // Enter presses the button that has the focus (Next otherwise), Tab and
    // the Alt keys move and press as in a dialog. True when handled.
    bool preTranslate(MSG &message);
    // Lets pending window events be processed.
    void doEvents();
    bool ended() const { return m_ended; }
    HWND window() const { return hwnd; }

    int page = 0;
    std::string cdName;
    std::string defPath;
    std::string folderName;
    std::string runFile;
    std::string infPath;

    HWND hwnd = nullptr;
    std::array<HWND, 3> Pic {};
    HWND Text1 = nullptr;
    HWND bro = nullptr;
    std::array<HWND, 3> btn {};
    Form2 form2;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT handle(UINT message, WPARAM w, LPARAM l);
    void create();
    void endProgram();
    void focusFirstButton();
    void tell(const std::string &text);

    Environment m_environment;
    HWND m_tips = nullptr;
    bool m_ended = false;
};

} // namespace setup::win32
