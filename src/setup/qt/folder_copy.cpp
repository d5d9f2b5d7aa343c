#include "folder_copy.h"

#include "core/files.h"
#include "core_text.h"
#include "text_files.h"

namespace setup {

void copyFolder(const QString &source, const QString &target)
{
    try {
        core::copyFolder(u8(source), u8(target));
    } catch (const core::FileError &error) {
        throw FileError(error);
    }
}

void copyFile(const QString &source, const QString &target)
{
    try {
        core::copyFile(u8(source), u8(target));
    } catch (const core::FileError &error) {
        throw FileError(error);
    }
}

bool isSameOrInside(const QString &inner, const QString &outer)
{
    return core::isSameOrInside(u8(inner), u8(outer));
}

} // namespace setup
