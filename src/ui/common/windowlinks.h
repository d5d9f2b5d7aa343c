#pragma once

#include <QString>

class QComboBox;

namespace zorvel {

class Form6;

// What the workbench and the paragraph editor ask of the main window. Form1
// implements it; the windows below it know it only through this, so the
// main window's folder is never included by the folders it opens.
class MainWindowLink {
public:
    virtual ~MainWindowLink() = default;
    // The build folder field (Text1), as typed.
    virtual QString buildFolderText() const = 0;
    // The book picker (dataName).
    virtual QComboBox *bookPicker() const = 0;
    // Rebuilds the book picker (MakeCombo).
    virtual void rebuildBookPicker() = 0;
    // Shows the file picker for the field `key` stands for, modally.
    virtual void chooseFile(const QString &key, const QString &pattern) = 0;
    // Minimises the main window with the workbench and starts its watch for
    // the workbench coming back.
    virtual void minimiseWithWorkbench() = 0;
};

// What the paragraph editor asks of the workbench, which owns the table.
// Form3 implements it.
class EditorHost {
public:
    virtual ~EditorHost() = default;
    virtual void ShowEdit(Form6 &editor) = 0;
    virtual void DoEdit(Form6 &editor) = 0;
    virtual void Ohazf(Form6 &editor) = 0;
    virtual void DoIMG(Form6 &editor) = 0;
};

} // namespace zorvel
