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

void applyFormFont(QWidget *w)
{
    QFont f = w->font();
    f.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"),
                   QStringLiteral("Noto Sans Arabic"), QStringLiteral("Noto Sans")});
    f.setPointSizeF(8.25);
    w->setFont(f);
}

} // namespace zorvel
