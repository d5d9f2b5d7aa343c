#include "text_files.h"

#include "core/files.h"
#include "core/text.h"
#include "core_text.h"

namespace setup {

FileError::FileError(QString path, QString reason)
    : std::runtime_error((reason + QStringLiteral(": ") + path).toStdString())
    , m_path(std::move(path))
    , m_reason(std::move(reason))
{
}

FileError::FileError(const core::FileError &error)
    : FileError(qs(error.path()), qs(error.reason()))
{
}

QString FileError::describe() const
{
    return m_reason + QLatin1String(":\n") + m_path;
}

core::FileError FileError::toCore() const
{
    return core::FileError(u8(m_path), u8(m_reason));
}

bool fileExists(const QString &path)
{
    return core::fileExists(u8(path));
}

bool folderExists(const QString &path)
{
    return core::folderExists(u8(path));
}

QString readSystem8bit(const QString &path)
{
    try {
        return qs(core::decode8bit(core::readFile(u8(path))));
    } catch (const core::FileError &error) {
        throw FileError(error);
    }
}

void writeSystem8bit(const QString &path, const QString &text)
{
    try {
        core::writeFile(u8(path), u8(text));
    } catch (const core::FileError &error) {
        throw FileError(error);
    }
}

QStringList splitLines(const QString &text)
{
    return qsList(core::splitLines(u8(text)));
}

} // namespace setup
