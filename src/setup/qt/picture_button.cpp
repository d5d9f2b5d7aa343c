#include "picture_button.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

namespace setup {

PictureButton::PictureButton(const QString &picture, const Spoken &spoken, QWidget *parent)
    : QAbstractButton(parent)
    , m_picture(picture)
{
    setSpoken(spoken);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void PictureButton::setSpoken(const Spoken &spoken)
{
    setup::setSpoken(this, spoken);
    setToolTip(spoken.name);
}

QSize PictureButton::sizeHint() const
{
    return m_picture.deviceIndependentSize().toSize();
}

void PictureButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QRect area = rect();
    if (isDown())
        area.translate(1, 1);
    painter.drawPixmap(area, m_picture);
    if (!isEnabled())
        painter.fillRect(rect(), QColor(255, 255, 255, 140));
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

} // namespace setup
