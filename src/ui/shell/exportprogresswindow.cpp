#include "ui/shell/exportprogresswindow.h"

#include "core/common/messages.h"
#include "ui/common/uistyle.h"

#include <QCoreApplication>

#include <algorithm>

namespace zorvel {

ExportProgressWindow::ExportProgressWindow(QWidget *owner, int delayMs)
    : m_dialog(QStringLiteral(u"در حال گرفتن خروجي..."), QStringLiteral(u"انصراف"), 0, 1, owner)
{
    m_dialog.setWindowTitle(productName());
    m_dialog.setLayoutDirection(Qt::RightToLeft);
    applyFormFont(&m_dialog);
    m_dialog.setMinimumWidth(tw(4500));
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.setMinimumDuration(delayMs);
    m_dialog.setAutoClose(false);
    m_dialog.setAutoReset(false);
    m_dialog.setValue(0);
}

void ExportProgressWindow::begin(int total)
{
    m_dialog.setMaximum(std::max(total, 1));
}

bool ExportProgressWindow::step()
{
    if (m_dialog.value() < m_dialog.maximum())
        m_dialog.setValue(m_dialog.value() + 1);
    // The step that first shows the window does not let it be pressed; a
    // short export (one e-book) has no other.
    QCoreApplication::processEvents();
    return !m_dialog.wasCanceled();
}

} // namespace zorvel
