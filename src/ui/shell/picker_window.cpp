#include "ui/shell/picker_window.h"

#include "ui/common/uistyle.h"

#include <QDialog>

namespace zorvel {

void dressPickerWindow(QDialog &dialog, const QString &caption, int widthTwips, int heightTwips)
{
    dialog.setWindowTitle(caption);
    dialog.setWindowFlags(
        Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog.setFixedSize(tw(widthTwips), tw(heightTwips));
    dialog.setLayoutDirection(Qt::RightToLeft);
    applyFormFont(&dialog);
}

} // namespace zorvel
