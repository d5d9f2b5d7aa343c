#pragma once

#include <QDialog>

#include <array>

namespace setup {

class DriveList;
class FolderList;
class Form1;
class PictureButton;

// The folder picker: a drive list, a folder list and a confirm button.
class Form2 : public QDialog {
public:
    explicit Form2(Form1 &owner);

    DriveList *Drive1;
    FolderList *Dir1;
    std::array<PictureButton *, 1> btn;

    void btn_Click(int index);
    void Drive1_Change();

private:
    Form1 &m_owner;
};

} // namespace setup
