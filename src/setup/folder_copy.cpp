#include "folder_copy.h"

#include "text_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace setup {

static QString cleanAbsolute(const QString &path)
{
    return QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(path)).absoluteFilePath());
}

bool isSameOrInside(const QString &inner, const QString &outer)
{
    const QString in = cleanAbsolute(inner);
    QString out = cleanAbsolute(outer);
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    if (in.compare(out, cs) == 0)
        return true;
    if (!out.endsWith(u'/'))
        out += u'/';
    return in.startsWith(out, cs);
}

void copyFile(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw FileError(source, QStringLiteral("Cannot read the file (%1)").arg(in.errorString()));
    if (QFileInfo(target).isDir())
        throw FileError(target, QStringLiteral("A folder stands where the file should go"));
    const qint64 expected = in.size();
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        throw FileError(
            target, QStringLiteral("Cannot write the file (%1)").arg(out.errorString()));
    // A full disk shows as a short write, a failed flush or a short file, not
    // always as a failed commit or with a reason; until the commit the
    // earlier file stays.
    const auto writeFailed = [&](const QString &why) {
        return FileError(target, QStringLiteral("Cannot write the file (%1)").arg(why));
    };
    const auto reason = [&] {
        return out.error() != QFileDevice::NoError ? out.errorString()
                                                   : QStringLiteral("the disk may be full");
    };
    qint64 copied = 0;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty()) {
            if (in.error() != QFileDevice::NoError)
                throw FileError(
                    source, QStringLiteral("Cannot read the file (%1)").arg(in.errorString()));
            break;
        }
        if (out.write(chunk) != chunk.size())
            throw writeFailed(reason());
        copied += chunk.size();
    }
    if (copied != expected)
        throw FileError(source,
            QStringLiteral("Cannot read the file (%1 of %2 bytes read)").arg(copied).arg(expected));
    if (!out.flush())
        throw writeFailed(reason());
    if (out.size() != expected)
        throw writeFailed(QStringLiteral("%1 of %2 bytes written, the disk may be full")
                              .arg(out.size())
                              .arg(expected));
    if (!out.commit())
        throw writeFailed(reason());
    const qint64 written = QFileInfo(target).size();
    if (written != expected) {
        QFile::remove(target); // a short program is worse than none
        throw writeFailed(QStringLiteral("%1 of %2 bytes written, the disk may be full")
                              .arg(written)
                              .arg(expected));
    }
    QFile::setPermissions(
        target, in.permissions() | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

static void copyInto(const QString &source, const QString &target)
{
    if (!QDir().mkpath(target))
        throw FileError(target, QStringLiteral("Cannot create the folder"));
    const QDir dir(source);
    if (!dir.isReadable())
        throw FileError(source, QStringLiteral("Cannot read the folder"));
    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QString to = target + u'/' + entry.fileName();
        if (entry.isDir()) {
            // A link to a folder could lead back into the source.
            if (!entry.isSymLink())
                copyInto(entry.filePath(), to);
        } else {
            copyFile(entry.filePath(), to);
        }
    }
}

void copyFolder(const QString &source, const QString &target)
{
    if (!QFileInfo(source).isDir())
        throw FileError(source, QStringLiteral("The folder does not exist"));
    if (isSameOrInside(target, source))
        throw FileError(target,
            QStringLiteral("The installation folder lies inside the folder being installed"));
    copyInto(QDir::fromNativeSeparators(source), QDir::fromNativeSeparators(target));
}

} // namespace setup
