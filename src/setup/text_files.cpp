#include "text_files.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringConverter>
#include <QStringList>

namespace setup {

namespace {
#include "windows1256.inc"
} // namespace

FileError::FileError(QString path, QString reason)
    : std::runtime_error((reason + QStringLiteral(": ") + path).toStdString())
    , m_path(std::move(path))
    , m_reason(std::move(reason))
{
}

QString FileError::describe() const
{
    return m_reason + QLatin1String(":\n") + m_path;
}

bool fileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool folderExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString readSystem8bit(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(path, QStringLiteral("Cannot read the file (%1)").arg(file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError(path, QStringLiteral("Cannot read the file (%1)").arg(file.errorString()));
    QStringDecoder decode(QStringConverter::System);
    const QString text = decode(bytes);
    if (!decode.hasError())
        return text;
    // Not valid in the system's UTF-8: a cd.inf saved on a Persian Windows.
    QString persian;
    persian.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        persian += b < 0x80 ? QChar(b) : QChar(kCp1256[b - 0x80]);
    }
    return persian;
}

void writeSystem8bit(const QString &path, const QString &text)
{
    QStringEncoder encode(QStringConverter::System);
    const QByteArray bytes = encode(text);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(path, QStringLiteral("Cannot write the file (%1)").arg(file.errorString()));
    // A full disk may only show in the write's count or the flush, and
    // without a reason.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.size() != bytes.size()
        || !file.commit())
        throw FileError(path,
            QStringLiteral("Cannot write the file (%1)")
                .arg(file.error() != QFileDevice::NoError
                        ? file.errorString()
                        : QStringLiteral("the disk may be full")));
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

} // namespace setup
