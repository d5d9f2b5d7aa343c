#pragma once

#include <QString>
#include <QStringList>

#include <stdexcept>

class QFileDevice;

namespace zorvel {

// Every failing file operation throws this; the window that started the
// command catches it and tells the operator once.
class FsError : public std::runtime_error {
public:
    FsError(QString path, QString reason);
    const QString &path() const { return m_path; }
    const QString &reason() const { return m_reason; }
    QString describe() const; // "reason: path", for a message box

private:
    QString m_path;
    QString m_reason;
};

// The file-system service (`fso` of every window). Plain files and folders,
// whole-file text in the Unicode form (UTF-16 LE, FF FE when created, CR LF)
// and in 8-bit forms.
class FileSystem {
public:
    bool fileExists(const QString &path) const;
    bool folderExists(const QString &path) const;

    // One level; the parent must exist and the folder must not.
    void createFolder(const QString &path) const;
    // With every missing parent; an existing folder is fine.
    void createFolderPath(const QString &path) const;

    // Names (no folder) of the plain files directly inside `folder`, by name
    // without regard to case.
    QStringList listFiles(const QString &folder) const;
    QStringList listFolders(const QString &folder) const;

    void copyFile(const QString &source, const QString &target) const; // replaces target
    void deleteFile(const QString &path) const;

    QByteArray readBytes(const QString &path) const;
    // Written whole through QSaveFile: a failed write leaves the old file.
    void writeBytes(const QString &path, const QByteArray &bytes) const;
    void appendBytes(const QString &path, const QByteArray &bytes) const;

    // Unicode form. Reading accepts the mark (and also a file without one).
    QString readUnicode(const QString &path) const;
    void writeUnicode(const QString &path, const QString &text) const;
    // No mark is added to an existing file; a missing file is created with one.
    void appendUnicode(const QString &path, const QString &text) const;

    // Windows-1256, the input texts and the inline picture template.
    QString read1256(const QString &path) const;
    // The system's 8-bit code page (export script, cd.inf).
    QString readSystem8bit(const QString &path) const;
};

// Why a write to `file` just failed, for a message: the device's own error, or,
// after a short write that the device took for no error (a full disk), the
// system's. Call it straight after the failing call.
QString writeFailureCause(const QFileDevice &file);

QByteArray toUtf16Le(const QString &text, bool withMark);
QString fromUtf16Le(const QByteArray &bytes); // skips a leading FF FE

// An input text: UTF-8 or UTF-16 with a byte-order mark, or valid UTF-8 that
// holds non-ASCII bytes, is read as such; anything else as Windows-1256.
QString decodeInputText(const QByteArray &bytes);

} // namespace zorvel
