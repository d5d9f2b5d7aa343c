#include "spoken_names.h"

#include "core/spoken.h"
#include "core_text.h"

#include <QWidget>

namespace setup {

void setSpoken(QWidget *widget, const Spoken &spoken)
{
    widget->setAccessibleName(spoken.name);
    widget->setAccessibleDescription(spoken.description);
}

static Spoken fromCore(const core::Spoken &spoken)
{
    return { qs(spoken.name), qs(spoken.description) };
}

Spoken pageSpoken(int page)
{
    return fromCore(core::pageSpoken(page));
}

Spoken nextSpoken(int page)
{
    return fromCore(core::nextSpoken(page));
}

Spoken backSpoken()
{
    return fromCore(core::backSpoken());
}

Spoken exitSpoken()
{
    return fromCore(core::exitSpoken());
}

Spoken destinationSpoken()
{
    return fromCore(core::destinationSpoken());
}

Spoken browseSpoken()
{
    return fromCore(core::browseSpoken());
}

Spoken driveSpoken()
{
    return fromCore(core::driveSpoken());
}

Spoken folderListSpoken()
{
    return fromCore(core::folderListSpoken());
}

Spoken useFolderSpoken()
{
    return fromCore(core::useFolderSpoken());
}

} // namespace setup
