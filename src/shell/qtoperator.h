#pragma once

#include "common/operator.h"

class QWidget;

namespace zorvel {

// The real seam: QMessageBox for messages and questions, exec() for windows.
class QtOperator : public Operator {
public:
    void message(qint16 code) override;
    void notice(const QString &text) override;
    bool ask(const QString &text) override;
    void runModal(QDialog &window) override;
};

} // namespace zorvel
