#pragma once

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;

namespace zorvel {

class DirList;
class DriveList;
class FileList;

// The file picker. Its chosen file is DoSlash(File1->path()) +
// File1->fileName(); the button, or a double click on a file, reports the
// choice through confirmed() and hides the window for the next request.
class Form5 : public QDialog {
    Q_OBJECT
public:
    explicit Form5(QWidget *parent = nullptr);

    DriveList *Drive1 = nullptr;
    DirList *Dir1 = nullptr;
    QLabel *Label5 = nullptr;
    FileList *File1 = nullptr;
    std::array<QPushButton *, 1> btn {};

signals:
    void confirmed();

private:
    void Drive1_Change(const QString &drive);
    void Dir1_Change(const QString &path);
    void btn_Click();
};

} // namespace zorvel
