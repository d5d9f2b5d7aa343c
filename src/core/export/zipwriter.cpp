#include "core/export/zipwriter.h"

#include "core/common/filesystem.h"

#include <QFile>

#include <zip.h>

namespace zorvel {

ZipWriter::ZipWriter(const QString &path, const QDateTime &modified)
    : m_path(path)
    , m_mtime(time_t(modified.toSecsSinceEpoch()))
{
    int code = 0;
    m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!m_zip) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString reason = QString::fromLocal8Bit(zip_error_strerror(&error));
        zip_error_fini(&error);
        throw FsError(path, QStringLiteral("Cannot create the archive (%1)").arg(reason));
    }
}

ZipWriter::~ZipWriter()
{
    if (m_zip)
        zip_discard(m_zip);
}

void ZipWriter::fail(const QString &what)
{
    const QString reason = QString::fromLocal8Bit(zip_strerror(m_zip));
    zip_discard(m_zip);
    m_zip = nullptr;
    throw FsError(m_path, QStringLiteral("%1 (%2)").arg(what, reason));
}

void ZipWriter::added(qint64 index, const QString &name, Method method)
{
    if (index < 0)
        fail(QStringLiteral("Cannot add %1 to the archive").arg(name));
    const zip_int32_t compression = method == Method::Store ? ZIP_CM_STORE : ZIP_CM_DEFLATE;
    if (zip_set_file_compression(m_zip, zip_uint64_t(index), compression, 0) < 0
        || zip_file_set_mtime(m_zip, zip_uint64_t(index), m_mtime, 0) < 0)
        fail(QStringLiteral("Cannot add %1 to the archive").arg(name));
}

void ZipWriter::addBytes(const QString &name, const QByteArray &bytes, Method method)
{
    if (!m_zip)
        throw FsError(m_path, QStringLiteral("The archive was abandoned"));
    const QByteArray &kept = m_keep.emplace_back(bytes);
    zip_source_t *source = zip_source_buffer(m_zip, kept.constData(), zip_uint64_t(kept.size()), 0);
    if (!source)
        fail(QStringLiteral("Cannot add %1 to the archive").arg(name));
    const zip_int64_t index
        = zip_file_add(m_zip, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0)
        zip_source_free(source);
    added(index, name, method);
}

void ZipWriter::addFile(const QString &name, const QString &sourcePath, Method method)
{
    if (!m_zip)
        throw FsError(m_path, QStringLiteral("The archive was abandoned"));
    zip_source_t *source = zip_source_file(m_zip, QFile::encodeName(sourcePath).constData(), 0, -1);
    if (!source)
        throw FsError(sourcePath,
            QStringLiteral("Cannot read the file for the archive (%1)")
                .arg(QString::fromLocal8Bit(zip_strerror(m_zip))));
    const zip_int64_t index
        = zip_file_add(m_zip, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0)
        zip_source_free(source);
    added(index, name, method);
}

void ZipWriter::commit()
{
    if (!m_zip)
        throw FsError(m_path, QStringLiteral("The archive was abandoned"));
    if (zip_close(m_zip) < 0)
        fail(QStringLiteral("Cannot write the archive"));
    m_zip = nullptr;
    m_keep.clear();
}

} // namespace zorvel
