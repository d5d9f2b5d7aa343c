#pragma once

#include <QDialog>

#include <array>

class QPushButton;

namespace zorvel {

class DirList;
class DriveList;

// The folder picker. Its chosen folder is Dir1->path(); the button reports
// the choice through confirmed() and hides the window for the next request.
class Form2 : public QDialog {
    Q_OBJECT
public:
    explicit Form2(QWidget *parent = nullptr);

    DriveList *Drive1 = nullptr;
    DirList *Dir1 = nullptr;
    std::array<QPushButton *, 1> btn {};

signals:
    void confirmed();

private:
    void Drive1_Change(const QString &drive);
    void btn_Click();
};

} // namespace zorvel
