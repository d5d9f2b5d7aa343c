#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <list>

struct zip;

namespace zorvel {

// A new zip file written through libzip. Entries are written in the order
// they are added; libzip writes the whole archive on commit() into a
// temporary file beside the target and renames it, so a failed or abandoned
// archive never appears under its name. Throws FsError naming the target.
class ZipWriter {
public:
    enum class Method { Store, Deflate };

    // Replaces an existing file of that name only on commit().
    ZipWriter(const QString &path, const QDateTime &modified);
    ~ZipWriter(); // discards the archive unless committed
    ZipWriter(const ZipWriter &) = delete;
    ZipWriter &operator=(const ZipWriter &) = delete;

    void addBytes(const QString &name, const QByteArray &bytes, Method method);
    // The file is read on commit(); a missing source fails there.
    void addFile(const QString &name, const QString &source, Method method);
    void commit();

    const QString &path() const { return m_path; }

private:
    void added(qint64 index, const QString &name, Method method);
    [[noreturn]] void fail(const QString &what);

    QString m_path;
    zip *m_zip = nullptr;
    time_t m_mtime = 0;
    std::list<QByteArray> m_keep; // buffers libzip reads on commit()
};

} // namespace zorvel
