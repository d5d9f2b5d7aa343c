#pragma once

#include "core/export/exportprogress.h"

#include <QProgressDialog>

class QWidget;

namespace zorvel {

// An export's progress in a right-to-left window that can stop it: the CD
// export and the e-book export show the same one.
class ExportProgressWindow : public ExportProgress {
public:
    ExportProgressWindow(QWidget *owner, int delayMs);
    void begin(int total) override;
    bool step() override;

private:
    QProgressDialog m_dialog;
};

} // namespace zorvel
