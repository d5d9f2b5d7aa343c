#pragma once

#include <QString>
#include <QStringList>

#include <stdexcept>

namespace setup {

namespace core {
class FileError;
}

// A file operation that failed: which path and why, ready for a message box.
class FileError : public std::runtime_error {
public:
    FileError(QString path, QString reason);
    explicit FileError(const core::FileError &error);
    const QString &path() const { return m_path; }
    const QString &reason() const { return m_reason; }
    QString describe() const; // "reason:\npath"
    core::FileError toCore() const;

private:
    QString m_path;
    QString m_reason;
};

// A plain file (not a folder) at `path`.
bool fileExists(const QString &path);
bool folderExists(const QString &path);

// Whole 8-bit text files: UTF-8, or Windows-1256 when not valid UTF-8.
QString readSystem8bit(const QString &path);
// Replaces the file as a whole; a failed write leaves the earlier file.
void writeSystem8bit(const QString &path, const QString &text);

// Lines cut at CR LF, LF or a lone CR; a final line end does not start
// another (empty) line.
QStringList splitLines(const QString &text);

} // namespace setup
