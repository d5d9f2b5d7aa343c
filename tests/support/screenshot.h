#pragma once

#include <QString>

class QWidget;

namespace zorvel::testing {

// Saves a grab of the window as $ZORVEL_SHOTS/<name>.png when that variable
// is set; does nothing otherwise. Used to look at the windows by eye.
void saveShot(QWidget *w, const QString &name);

} // namespace zorvel::testing
