#include "core/common/paths.h"

#include <QDir>
#include <QFileInfo>

namespace zorvel {

QChar folderSeparator()
{
    return QDir::separator();
}

bool endsWithSeparator(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QChar last = path.back();
#ifdef Q_OS_WIN
    return last == u'\\' || last == u'/';
#else
    return last == u'/';
#endif
}

QString DoSlash(const QString &iPa)
{
    if (iPa.size() > 1 && !endsWithSeparator(iPa))
        return iPa + folderSeparator();
    return iPa;
}

QString DoSlashAlways(const QString &iPa)
{
    if (!endsWithSeparator(iPa))
        return iPa + folderSeparator();
    return iPa;
}

bool isAbsoluteFieldPath(const QString &path)
{
#ifdef Q_OS_WIN
    return path.size() >= 2 && path.at(1) == u':';
#else
    return path.startsWith(u'/');
#endif
}

QString absoluteFieldPath(const QString &path, const QString &programFolder)
{
    if (isAbsoluteFieldPath(path))
        return path;
    return DoSlash(programFolder) + path;
}

bool samePath(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return a.isEmpty() && b.isEmpty();
    if (QDir::cleanPath(QDir::fromNativeSeparators(a)) == QDir::cleanPath(QDir::fromNativeSeparators(b)))
        return true;
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

QString extensionOf(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.mid(dot + 1);
}

QString fileNameOf(const QString &path)
{
    const qsizetype cut = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return path.mid(cut + 1);
}

QString joinPath(const QString &folder, const QString &name)
{
    return DoSlashAlways(folder) + name;
}

} // namespace zorvel
