#include "core/project/workfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zorvel {

QString chooseWorkFolder(const QString &programFolder, bool programFolderWritable,
                         const QString &home)
{
    if (programFolderWritable || home.isEmpty())
        return programFolder;

    const QString work = QDir(home).filePath(QStringLiteral("Zorvel"));
    QDir dir;
    if (!dir.mkpath(work) || !dir.mkpath(work + QStringLiteral("/Data"))
        || !dir.mkpath(work + QStringLiteral("/Export")))
        return programFolder;

    const QString resources = work + QStringLiteral("/Resources");
    const QFileInfo existing(resources);
    if (!existing.exists() && !existing.isSymLink()) {
        if (!QFile::link(QDir(programFolder).filePath(QStringLiteral("Resources")), resources))
            return programFolder;
    }

    const QDir samples(QDir(programFolder).filePath(QStringLiteral("samples")));
    const QStringList texts = samples.entryList({QStringLiteral("*.txt")}, QDir::Files);
    for (const QString &name : texts) {
        const QString target = QDir(work).filePath(name);
        if (!QFileInfo::exists(target))
            QFile::copy(samples.filePath(name), target);
    }
    return work;
}

} // namespace zorvel
