#include "core/common/filesystem.h"

#include "core/common/codepage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <cstring>

namespace zorvel {

FsError::FsError(QString path, QString reason)
    : std::runtime_error((reason + QStringLiteral(": ") + path).toStdString())
    , m_path(std::move(path))
    , m_reason(std::move(reason))
{
}

QString FsError::describe() const
{
    return m_reason + QStringLiteral(":\n") + QDir::toNativeSeparators(m_path);
}

QString writeFailureCause(const QFileDevice &file)
{
    const int err = errno;
    if (file.error() != QFileDevice::NoError && file.errorString() != QLatin1String("Unknown error"))
        return file.errorString();
    if (err != 0)
        return QString::fromLocal8Bit(std::strerror(err));
    return QStringLiteral("Not all bytes were written");
}

namespace {

[[noreturn]] void failSave(QSaveFile &out, const QString &path)
{
    const QString why = writeFailureCause(out);
    out.cancelWriting(); // the old file stays as it was
    throw FsError(path, QStringLiteral("Cannot write file (") + why + u')');
}

// commit() does not notice a short write to a full disk: the buffered bytes
// must reach the file, and every write so far must have gone through, before
// the temporary file replaces the old one.
void commitSave(QSaveFile &out, const QString &path)
{
    if (!out.flush() || out.error() != QFileDevice::NoError)
        failSave(out, path);
    if (!out.commit())
        throw FsError(path, QStringLiteral("Cannot write file (") + out.errorString() + u')');
}

} // namespace

bool FileSystem::fileExists(const QString &path) const
{
    if (path.isEmpty())
        return false;
    QFileInfo fi(path);
    return fi.exists() && !fi.isDir();
}

bool FileSystem::folderExists(const QString &path) const
{
    if (path.isEmpty())
        return false;
    return QFileInfo(path).isDir();
}

void FileSystem::createFolder(const QString &path) const
{
    if (QFileInfo::exists(path))
        throw FsError(path, QStringLiteral("Folder already exists"));
    if (!QDir().mkdir(path))
        throw FsError(path, QStringLiteral("Cannot create folder"));
}

void FileSystem::createFolderPath(const QString &path) const
{
    if (folderExists(path))
        return;
    if (!QDir().mkpath(path))
        throw FsError(path, QStringLiteral("Cannot create folder"));
}

QStringList FileSystem::listFiles(const QString &folder) const
{
    if (!folderExists(folder))
        throw FsError(folder, QStringLiteral("Folder not found"));
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System,
                                  QDir::Name | QDir::IgnoreCase);
}

QStringList FileSystem::listFolders(const QString &folder) const
{
    if (!folderExists(folder))
        throw FsError(folder, QStringLiteral("Folder not found"));
    return QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                                  QDir::Name | QDir::IgnoreCase);
}

void FileSystem::copyFile(const QString &source, const QString &target) const
{
    if (!fileExists(source))
        throw FsError(source, QStringLiteral("File not found"));
    if (QFileInfo(source).canonicalFilePath() == QFileInfo(target).canonicalFilePath())
        return; // copying a file onto itself would destroy it
    // Copy to a temporary name first, so a failed copy never leaves a torn target.
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw FsError(source, QStringLiteral("Cannot read file"));
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        throw FsError(target, QStringLiteral("Cannot write file"));
    char buffer[1 << 16];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0) {
            out.cancelWriting();
            throw FsError(source, QStringLiteral("Cannot read file"));
        }
        if (n == 0)
            break;
        if (out.write(buffer, n) != n)
            failSave(out, target);
    }
    commitSave(out, target);
}

void FileSystem::deleteFile(const QString &path) const
{
    if (!fileExists(path))
        throw FsError(path, QStringLiteral("File not found"));
    if (!QFile::remove(path))
        throw FsError(path, QStringLiteral("Cannot delete file"));
}

QByteArray FileSystem::readBytes(const QString &path) const
{
    QFile f(path);
    if (!fileExists(path))
        throw FsError(path, QStringLiteral("File not found"));
    if (!f.open(QIODevice::ReadOnly))
        throw FsError(path, QStringLiteral("Cannot read file"));
    QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw FsError(path, QStringLiteral("Cannot read file"));
    return data;
}

void FileSystem::writeBytes(const QString &path, const QByteArray &bytes) const
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw FsError(path, QStringLiteral("Cannot write file"));
    if (f.write(bytes) != bytes.size())
        failSave(f, path);
    commitSave(f, path);
}

void FileSystem::appendBytes(const QString &path, const QByteArray &bytes) const
{
    // Unbuffered, so a failed write leaves nothing behind to be flushed later.
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        throw FsError(path, QStringLiteral("Cannot write file"));
    const qint64 before = f.size();
    if (f.write(bytes) != bytes.size()) {
        // A line half appended would tear the file: cut it back to what it was.
        const QString why = writeFailureCause(f);
        f.close();
        QFile::resize(path, before);
        throw FsError(path, QStringLiteral("Cannot write file (") + why + u')');
    }
    f.close();
    if (f.error() != QFileDevice::NoError) {
        const QString why = writeFailureCause(f);
        QFile::resize(path, before);
        throw FsError(path, QStringLiteral("Cannot write file (") + why + u')');
    }
}

QByteArray toUtf16Le(const QString &text, bool withMark)
{
    QByteArray out;
    out.reserve(text.size() * 2 + 2);
    if (withMark)
        out.append("\xFF\xFE", 2);
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        out.append(static_cast<char>(u & 0xFF));
        out.append(static_cast<char>(u >> 8));
    }
    return out;
}

QString fromUtf16Le(const QByteArray &bytes)
{
    qsizetype start = 0;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF
        && static_cast<unsigned char>(bytes[1]) == 0xFE)
        start = 2;
    const qsizetype n = (bytes.size() - start) / 2;
    QString out(n, Qt::Uninitialized);
    QChar *dst = out.data();
    const auto *src = reinterpret_cast<const unsigned char *>(bytes.constData()) + start;
    for (qsizetype i = 0; i < n; ++i)
        dst[i] = QChar(static_cast<char16_t>(src[2 * i] | (src[2 * i + 1] << 8)));
    return out;
}

QString FileSystem::readUnicode(const QString &path) const
{
    return fromUtf16Le(readBytes(path));
}

void FileSystem::writeUnicode(const QString &path, const QString &text) const
{
    writeBytes(path, toUtf16Le(text, true));
}

void FileSystem::appendUnicode(const QString &path, const QString &text) const
{
    const bool fresh = !QFileInfo::exists(path) || QFileInfo(path).size() == 0;
    appendBytes(path, toUtf16Le(text, fresh));
}

QString FileSystem::read1256(const QString &path) const
{
    return decode1256(readBytes(path));
}

QString FileSystem::readSystem8bit(const QString &path) const
{
    const QByteArray bytes = readBytes(path);
    QStringDecoder dec(QStringDecoder::System);
    const QString text = dec(bytes);
    // Where the system's code page is UTF-8, a script saved on a Persian
    // Windows is not valid in it: read it as that code page.
    if (dec.hasError())
        return decode1256(bytes);
    return text;
}

namespace {

// True when the bytes hold at least one non-ASCII character and are valid
// UTF-8 throughout. Stops at the first byte that cannot be UTF-8, which in a
// Windows-1256 text comes within the first few letters.
bool looksLikeUtf8(const unsigned char *b, qsizetype n)
{
    bool nonAscii = false;
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = b[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        nonAscii = true;
        int extra;
        char32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= n || (b[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (b[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF))
            || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return nonAscii;
}

} // namespace

QString decodeInputText(const QByteArray &bytes)
{
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        return QString::fromUtf8(bytes.constData() + 3, n - 3);
    if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE)
        return fromUtf16Le(bytes);
    if (n >= 2 && b[0] == 0xFE && b[1] == 0xFF) {
        QStringDecoder dec(QStringDecoder::Utf16BE);
        return dec(QByteArrayView(bytes).sliced(2));
    }
    if (looksLikeUtf8(b, n))
        return QString::fromUtf8(bytes);
    return decode1256(bytes);
}

} // namespace zorvel
