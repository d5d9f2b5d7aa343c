#include "common/wholefile.h"

#include "common/filesystem.h"

#include <QFile>
#include <QFileInfo>

namespace zorvel {

namespace {

[[noreturn]] void failWrite(QFile &out, const QString &path)
{
    out.close();
    out.remove();
    throw FsError(path, QStringLiteral("Cannot write file"));
}

void openTarget(QFile &out, const QString &path)
{
    if (QFileInfo(path).isDir() || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw FsError(path, QStringLiteral("Cannot write file"));
}

} // namespace

void writeWholeFile(const QString &path, const QByteArray &bytes)
{
    QFile out(path);
    openTarget(out, path);
    if (out.write(bytes) != bytes.size() || !out.flush())
        failWrite(out, path);
    out.close();
    if (out.error() != QFileDevice::NoError)
        failWrite(out, path);
}

void copyWholeFile(const QString &source, const QString &target)
{
    const QFileInfo from(source);
    if (!from.exists() || from.isDir())
        throw FsError(source, QStringLiteral("File not found"));
    if (from.canonicalFilePath() == QFileInfo(target).canonicalFilePath())
        return; // copying a file onto itself would destroy it
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw FsError(source, QStringLiteral("Cannot read file"));
    QFile out(target);
    openTarget(out, target);
    static constexpr qint64 kChunk = 1 << 18;
    QByteArray buffer(kChunk, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(buffer.data(), kChunk);
        if (n < 0) {
            out.close();
            out.remove();
            throw FsError(source, QStringLiteral("Cannot read file"));
        }
        if (n == 0)
            break;
        if (out.write(buffer.constData(), n) != n)
            failWrite(out, target);
    }
    if (!out.flush())
        failWrite(out, target);
    out.close();
    if (out.error() != QFileDevice::NoError)
        failWrite(out, target);
}

} // namespace zorvel
