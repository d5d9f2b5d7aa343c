#pragma once

#include <QDialog>

namespace zorvel {

class RichTextBox;

// The help window: Resources/Help.rtf of the program folder, read afresh each
// time the window is made. Without the file the box keeps its one-line title.
class Form4 : public QDialog {
    Q_OBJECT
public:
    explicit Form4(const QString &programFolder, QWidget *parent = nullptr);

    RichTextBox *Box1 = nullptr;

    static QString helpPath(const QString &programFolder);
    static QString designContent();

protected:
    void showEvent(QShowEvent *event) override;
};

} // namespace zorvel
