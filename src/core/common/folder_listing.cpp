#include "core/common/folder_listing.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStorageInfo>

#include <algorithm>

namespace zorvel {

namespace {

// The root of a cleaned "/"-separated absolute path, ending in "/".
QString rootOfClean(const QString &clean)
{
#ifdef Q_OS_WIN
    if (clean.size() >= 2 && clean.at(1) == u':')
        return clean.left(2) + u'/';
    if (clean.startsWith(QLatin1String("//"))) {
        const qsizetype server = clean.indexOf(u'/', 2);
        if (server < 0)
            return clean + u'/';
        const qsizetype share = clean.indexOf(u'/', server + 1);
        return (share < 0 ? clean : clean.left(share)) + u'/';
    }
#endif
    Q_UNUSED(clean);
    return QStringLiteral("/");
}

// Absolute, cleaned, "/"-separated; a root keeps its trailing "/".
QString cleanFolder(const QString &path)
{
    if (path.trimmed().isEmpty())
        return {};
    QString p = QDir::fromNativeSeparators(path);
#ifdef Q_OS_WIN
    if (p.size() == 2 && p.at(1) == u':')
        p += u'/';
#endif
    if (QDir::isRelativePath(p))
        p = QDir::current().absoluteFilePath(p);
    p = QDir::cleanPath(p);
    const QString root = rootOfClean(p);
    if (p.size() + 1 == root.size() && root.startsWith(p))
        return root;
    return p;
}

QList<QRegularExpression> compilePatterns(const QStringList &patterns)
{
    QList<QRegularExpression> result;
    for (const QString &pattern : patterns)
        result.append(QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern),
            QRegularExpression::CaseInsensitiveOption));
    return result;
}

bool matchesAny(const QString &name, const QList<QRegularExpression> &expressions)
{
    return std::any_of(expressions.begin(), expressions.end(),
        [&](const QRegularExpression &e) { return e.match(name).hasMatch(); });
}

} // namespace

QString nativeFolderPath(const QString &path)
{
    return QDir::toNativeSeparators(cleanFolder(path));
}

bool isFolderRoot(const QString &path)
{
    const QString clean = cleanFolder(path);
    return !clean.isEmpty() && clean == rootOfClean(clean);
}

QString folderRootOf(const QString &path)
{
    const QString clean = cleanFolder(path);
    if (clean.isEmpty())
        return {};
    return QDir::toNativeSeparators(rootOfClean(clean));
}

QStringList availableDrives()
{
    QStringList drives;
#ifdef Q_OS_WIN
    for (const QFileInfo &drive : QDir::drives())
        drives.append(nativeFolderPath(drive.absoluteFilePath()));
#else
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QString root = nativeFolderPath(volume.rootPath());
        // Some mounts are single files (bind-mounted into containers).
        if (root != QLatin1String("/") && QFileInfo(root).isDir() && !drives.contains(root))
            drives.append(root);
    }
    drives.sort(Qt::CaseInsensitive);
    drives.prepend(QStringLiteral("/"));
#endif
    return drives;
}

QString driveOf(const QString &path)
{
    const QString folder = openableFolder(path);
    if (folder.isEmpty())
        return {};
#ifdef Q_OS_WIN
    return folderRootOf(folder);
#else
    const QStorageInfo volume(folder);
    if (volume.isValid())
        return nativeFolderPath(volume.rootPath());
    return folderRootOf(folder);
#endif
}

QStringList folderChain(const QString &folder)
{
    const QString clean = cleanFolder(folder);
    if (clean.isEmpty())
        return {};
    const QString root = rootOfClean(clean);
    QStringList chain { QDir::toNativeSeparators(root) };
    QString current = root;
    const QStringList parts = clean.mid(root.size()).split(u'/', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        current = current.endsWith(u'/') ? current + part : current + u'/' + part;
        chain.append(QDir::toNativeSeparators(current));
    }
    return chain;
}

QString openableFolder(const QString &path)
{
    const QStringList chain = folderChain(path);
    for (auto it = chain.crbegin(); it != chain.crend(); ++it) {
        if (QFileInfo(*it).isDir())
            return *it;
    }
    return chain.isEmpty() ? QString() : chain.first();
}

QStringList subfolderNames(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    const QDir dir(folder);
    if (!dir.exists() || !dir.isReadable())
        return {};
    return dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
}

QStringList splitPatterns(const QString &pattern)
{
    QStringList result;
    for (const QString &piece : pattern.split(u';', Qt::SkipEmptyParts)) {
        const QString trimmed = piece.trimmed();
        if (trimmed.isEmpty())
            continue;
        result.append(trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
    }
    if (result.isEmpty())
        result.append(QStringLiteral("*"));
    return result;
}

bool matchesPatterns(const QString &name, const QStringList &patterns)
{
    return matchesAny(name, compilePatterns(patterns));
}

QStringList matchingFiles(const QString &folder, const QString &pattern)
{
    if (folder.isEmpty())
        return {};
    const QDir dir(folder);
    if (!dir.exists() || !dir.isReadable())
        return {};
    const QList<QRegularExpression> expressions = compilePatterns(splitPatterns(pattern));
    QStringList files;
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase)) {
        if (matchesAny(name, expressions))
            files.append(name);
    }
    return files;
}

} // namespace zorvel
