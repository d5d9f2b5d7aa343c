#include "shell/uistyle.h"

#include <QFont>
#include <QWidget>

static void registerArtwork()
{
    Q_INIT_RESOURCE(artwork);
}

namespace zorvel {

void initArtwork()
{
    static const bool done = [] {
        registerArtwork();
        return true;
    }();
    Q_UNUSED(done);
}

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(tw(left), tw(top), tw(width), tw(height));
}

QFont formFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"),
                   QStringLiteral("Noto Sans Arabic"), QStringLiteral("Noto Sans")});
    f.setPointSizeF(8.25);
    return f;
}

void applyFormFont(QWidget *w)
{
    w->setFont(formFont());
}

} // namespace zorvel
