#include "shell/picker_window.h"

#include <QDialog>
#include <QFont>
#include <QFontDatabase>

namespace zorvel {

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(pixelsFromTwips(left), pixelsFromTwips(top), pixelsFromTwips(width),
        pixelsFromTwips(height));
}

void dressPickerWindow(QDialog &dialog, const QString &caption, int widthTwips, int heightTwips)
{
    dialog.setWindowTitle(caption);
    dialog.setWindowFlags(
        Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog.setFixedSize(pixelsFromTwips(widthTwips), pixelsFromTwips(heightTwips));
    dialog.setLayoutDirection(Qt::RightToLeft);

    QFont font;
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma")))
        font.setFamilies({ QStringLiteral("Tahoma") });
    else
        font.setFamilies({ QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans Arabic"),
            QStringLiteral("Noto Sans") });
    font.setPointSizeF(8.25);
    dialog.setFont(font);
}

} // namespace zorvel
