#include "screenshot.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

namespace zorvel::testing {

void saveShot(QWidget *w, const QString &name)
{
    const QString folder = qEnvironmentVariable("ZORVEL_SHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    w->grab().save(folder + u'/' + name + QStringLiteral(".png"));
}

} // namespace zorvel::testing
