#pragma once

#include "ui/common/operator.h"

#include <QMessageBox>

#include <memory>

class QWidget;

namespace zorvel {

// A message box as the operator sees it: right to left, Persian buttons,
// wide enough for its caption, and announced by a screen reader with its
// caption as name and its text as description.
std::unique_ptr<QMessageBox> makeMessageBox(const QString &text, QMessageBox::StandardButtons buttons,
                                            QMessageBox::Icon icon, QWidget *parent);

// The real seam: QMessageBox for messages and questions, exec() for windows.
class QtOperator : public Operator {
public:
    void message(qint16 code) override;
    void notice(const QString &text) override;
    bool ask(const QString &text) override;
    void runModal(QDialog &window) override;
    std::optional<QString> askText(const QString &prompt, const QString &initial) override;
};

} // namespace zorvel
