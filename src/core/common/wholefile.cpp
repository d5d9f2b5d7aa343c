#include "core/common/wholefile.h"

#include "core/common/filesystem.h"

#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <cstring>

namespace zorvel {

namespace {

// The cause goes into the message: a full disk reads differently from a
// missing permission.
QString cannotWrite(const QString &why)
{
    return why.isEmpty() ? QStringLiteral("Cannot write file")
                         : QStringLiteral("Cannot write file (") + why + u')';
}

[[noreturn]] void failWrite(QFile &out, const QString &path)
{
    const QString why = writeFailureCause(out);
    out.close();
    out.remove();
    throw FsError(path, cannotWrite(why));
}

void openTarget(QFile &out, const QString &path)
{
    if (QFileInfo(path).isDir())
        throw FsError(path, cannotWrite(QStringLiteral("Is a folder")));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        throw FsError(path, cannotWrite(out.errorString()));
}

} // namespace

void writeWholeFile(const QString &path, const QByteArray &bytes)
{
    // An existing file goes through a temporary one, so a failure keeps it.
    if (QFileInfo(path).isFile()) {
        FileSystem().writeBytes(path, bytes);
        return;
    }
    QFile out(path);
    openTarget(out, path);
    if (out.write(bytes) != bytes.size() || !out.flush())
        failWrite(out, path);
    out.close();
    if (out.error() != QFileDevice::NoError)
        failWrite(out, path);
}

void writeWholeUnicode(const QString &path, const QString &text)
{
    QByteArray bytes;
    if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        bytes.resize(2 + text.size() * 2);
        bytes[0] = '\xFF';
        bytes[1] = '\xFE';
        std::memcpy(bytes.data() + 2, text.utf16(), text.size() * 2);
    } else {
        bytes = toUtf16Le(text, true);
    }
    writeWholeFile(path, bytes);
}

void copyWholeFile(const QString &source, const QString &target)
{
    const QFileInfo from(source);
    if (!from.exists() || from.isDir())
        throw FsError(source, QStringLiteral("File not found"));
    const QFileInfo to(target);
    if (to.exists() && from.canonicalFilePath() == to.canonicalFilePath())
        return; // copying a file onto itself would destroy it
    if (to.isFile()) {
        FileSystem().copyFile(source, target); // through a temporary file: a failure keeps it
        return;
    }
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw FsError(source, QStringLiteral("Cannot read file"));
    QFile out(target);
    openTarget(out, target);
    char buffer[1 << 16];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0) {
            out.close();
            out.remove();
            throw FsError(source, QStringLiteral("Cannot read file"));
        }
        if (n == 0)
            break;
        if (out.write(buffer, n) != n)
            failWrite(out, target);
    }
    if (!out.flush())
        failWrite(out, target);
    out.close();
    if (out.error() != QFileDevice::NoError)
        failWrite(out, target);
    // A program copied onto the CD (setup) must stay a program.
    const QFileDevice::Permissions exec = from.permissions()
        & (QFileDevice::ExeOwner | QFileDevice::ExeUser | QFileDevice::ExeGroup
            | QFileDevice::ExeOther);
    if (exec && !QFile::setPermissions(target, QFileInfo(target).permissions() | exec))
        throw FsError(target, QStringLiteral("Cannot make the file executable"));
}

} // namespace zorvel
