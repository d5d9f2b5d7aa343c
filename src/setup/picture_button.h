#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace setup {

// A push button that is only its picture; it sinks by a pixel while pressed.
class PictureButton : public QAbstractButton {
public:
    PictureButton(const QString &picture, const QString &name, QWidget *parent);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
};

} // namespace setup
