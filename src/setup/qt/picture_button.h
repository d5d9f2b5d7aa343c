#pragma once

#include "spoken_names.h"

#include <QAbstractButton>
#include <QPixmap>

namespace setup {

// A push button that is only its picture; it sinks by a pixel while pressed.
// Having no caption, it says what it does through its accessible name, which
// is also its tool tip.
class PictureButton : public QAbstractButton {
public:
    PictureButton(const QString &picture, const Spoken &spoken, QWidget *parent);
    void setSpoken(const Spoken &spoken);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
};

} // namespace setup
