#pragma once

// The folder picker of setup.exe: a drive list, a folder list and a button
// that takes the open folder.
#include "core/folder_rows.h"

#include <windows.h>

#include <array>
#include <string>
#include <vector>

namespace setup::win32 {

class Form1;

class Form2 {
public:
    explicit Form2(Form1 &owner);

    void create(HWND owner);
    // Shown modally over the installer window until it is hidden.
    void runModal();
    void hide();
    bool visible() const;

    // The folder list: its open folder and the rows around it.
    std::string path() const { return m_path; }
    bool setPath(const std::string &folder); // false when it is not a folder
    // The drive list.
    std::string drive() const;
    void setDrive(const std::string &root);

    void btn_Click(int index);
    void Drive1_Change();
    void Dir1_Open(); // double click or Enter on a row

    bool preTranslate(MSG &message);

    HWND hwnd = nullptr;
    HWND Drive1 = nullptr;
    HWND Dir1 = nullptr;
    std::array<HWND, 1> btn {};

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT handle(UINT message, WPARAM w, LPARAM l);
    void fillDrives();
    void drawRow(const DRAWITEMSTRUCT &item);

    Form1 &m_owner;
    std::string m_path;
    std::vector<core::FolderRow> m_rows;
    std::vector<std::string> m_roots;
    HWND m_tips = nullptr;
};

} // namespace setup::win32
