#include "messages.h"

#include "core/files.h"
#include "core/messages.h"
#include "core_text.h"
#include "text_files.h"

namespace setup {

QString cdInfMissingText(const QString &infPath)
{
    return qs(core::cdInfMissingText(u8(infPath)));
}

QString cdInfUnreadableText(const FileError &error)
{
    return qs(core::cdInfUnreadableText(error.toCore()));
}

QString sectionMissingText(const QString &infPath, const QString &marker)
{
    return qs(core::sectionMissingText(u8(infPath), u8(marker)));
}

QString unsafeSectionText(const QString &infPath, const QString &marker, const QString &value)
{
    return qs(core::unsafeSectionText(u8(infPath), u8(marker), u8(value)));
}

QString sourceMissingText(const QString &sourceFolder)
{
    return qs(core::sourceMissingText(u8(sourceFolder)));
}

QString sourceOutsideText(const QString &sourceFolder, const QString &cdFolder)
{
    return qs(core::sourceOutsideText(u8(sourceFolder), u8(cdFolder)));
}

QString copyFailedText(const FileError &error)
{
    return qs(core::copyFailedText(error.toCore()));
}

QString programMissingText(const QString &program)
{
    return qs(core::programMissingText(u8(program)));
}

QString markerFailedText(const FileError &error)
{
    return qs(core::markerFailedText(error.toCore()));
}

QString installFailedText(const QString &problem, const QString &leftover)
{
    return qs(core::installFailedText(u8(problem), u8(leftover)));
}

QString removedFolderText(const QString &folder)
{
    return qs(core::removedFolderText(u8(folder)));
}

QString keptFolderText(const QString &folder)
{
    return qs(core::keptFolderText(u8(folder)));
}

QString notRemovedText(const QString &folder)
{
    return qs(core::notRemovedText(u8(folder)));
}

QString startFailedText(const QString &program)
{
    return qs(core::startFailedText(u8(program)));
}

} // namespace setup
