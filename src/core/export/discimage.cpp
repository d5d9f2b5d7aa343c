#include "core/export/discimage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringConverter>
#include <QStringList>

// The burn source's declaration comes with libisofs when libburn is not used.
#define LIBISOFS_WITHOUT_LIBBURN
#include <libisofs/libisofs.h>

#include <cstdio>
#include <memory>
#include <mutex>

namespace zorvel {

QString discImagePath(const QString &exportFolder)
{
    QString folder = QDir::cleanPath(exportFolder);
    return folder + QStringLiteral(".iso");
}

QString cdNameOf(const QString &exportFolder)
{
    QFile file(exportFolder + QStringLiteral("/cd.inf"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QStringList lines = text.split(u'\n');
    const qsizetype at = lines.indexOf(QStringLiteral("[ CD Name ]"));
    return at >= 0 && at + 1 < lines.size() ? lines.at(at + 1) : QString();
}

QString isoVolumeId(const QString &cdName)
{
    QString id;
    bool named = false;
    for (const char32_t u : cdName.toUcs4()) {
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9')) {
            id += QChar(char16_t(u >= 'a' && u <= 'z' ? u - 'a' + 'A' : u));
            named = true;
        } else {
            id += u'_';
        }
        if (id.size() == 32)
            break;
    }
    return named ? id : QStringLiteral("CD");
}

QString jolietVolumeId(const QString &cdName)
{
    QString id = cdName.left(16);
    // Half a surrogate pair is no character.
    if (id.size() == 16 && id.back().isHighSurrogate())
        id.chop(1);
    return id;
}

namespace {

// libisofs is set up once for the program; names on disk are UTF-8.
bool libraryReady()
{
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] {
        ready = iso_init() >= 0;
        if (ready) {
            static char utf8[] = "UTF-8";
            iso_set_local_charset(utf8, 0);
            static char never[] = "NEVER";
            static char fatal[] = "FATAL";
            iso_set_msgs_severities(never, fatal, const_cast<char *>(""));
        }
    });
    return ready;
}

QString isoError(int code)
{
    return QString::fromUtf8(iso_error_to_msg(code));
}

struct ImageDeleter {
    void operator()(IsoImage *image) const { iso_image_unref(image); }
};
struct OptsDeleter {
    void operator()(IsoWriteOpts *opts) const { iso_write_opts_free(opts); }
};
struct SourceDeleter {
    void operator()(burn_source *source) const
    {
        source->cancel(source);
        source->free_data(source);
        free(source);
    }
};

// The volume descriptors stand in the sectors from 16 to the terminator:
// the primary one gets isoVolumeId() and Joliet's jolietVolumeId(), so that
// the names follow these rules and not the library's own folding. False once
// the terminator has passed.
bool setVolumeId(QByteArray &sector, const QString &volumeName)
{
    if (sector.mid(1, 5) != "CD001")
        return false;
    const char type = sector.at(0);
    if (type == 1) {
        sector.replace(40, 32, isoVolumeId(volumeName).toLatin1().leftJustified(32, ' '));
    } else if (type == 2 && sector.mid(88, 2) == "%/") {
        QByteArray joliet;
        for (const QChar c : jolietVolumeId(volumeName)) {
            joliet += char(c.unicode() >> 8);
            joliet += char(c.unicode() & 0xFF);
        }
        while (joliet.size() < 32)
            joliet += QByteArray("\0 ", 2);
        sector.replace(40, 32, joliet);
    }
    return type != char(255);
}

} // namespace

DiscImageResult writeDiscImage(
    const QString &folder, const QString &imagePath, const QString &volumeName)
{
    DiscImageResult result;
    const auto fail = [&](const QString &path, const QString &why) {
        result.problem = why + QStringLiteral(":\n") + QDir::toNativeSeparators(path);
        return result;
    };
    if (!QFileInfo(folder).isDir())
        return fail(folder, QStringLiteral("The folder to write as a disc image does not exist"));
    if (!libraryReady())
        return fail(imagePath, QStringLiteral("The disc image library could not start"));

    IsoImage *rawImage = nullptr;
    const QByteArray volume = volumeName.toUtf8();
    int code = iso_image_new(volume.constData(), &rawImage);
    if (code < 0)
        return fail(imagePath, isoError(code));
    std::unique_ptr<IsoImage, ImageDeleter> image(rawImage);
    iso_image_set_volume_id(image.get(), volume.constData());
    iso_image_set_application_id(image.get(), "ZORVEL");
    iso_tree_set_follow_symlinks(image.get(), 0);
    const QByteArray source = QFile::encodeName(QDir::cleanPath(folder));
    code = iso_tree_add_dir_rec(image.get(), iso_image_get_root(image.get()), source.constData());
    if (code < 0)
        return fail(folder,
            QStringLiteral("Cannot read the folder for the disc image (%1)").arg(isoError(code)));

    IsoWriteOpts *rawOpts = nullptr;
    code = iso_write_opts_new(&rawOpts, 2); // Rock Ridge and Joliet
    if (code < 0)
        return fail(imagePath, isoError(code));
    std::unique_ptr<IsoWriteOpts, OptsDeleter> opts(rawOpts);
    iso_write_opts_set_rockridge(opts.get(), 1);
    iso_write_opts_set_joliet(opts.get(), 1);
    iso_write_opts_set_iso_level(opts.get(), 2);
    // The distribution profile sets every mode to a default: keep the run
    // bit of setup and the readable files as they are.
    iso_write_opts_set_replace_mode(opts.get(), 0, 0, 0, 0);
    iso_write_opts_set_joliet_longer_paths(opts.get(), 1);
    iso_write_opts_set_allow_deep_paths(opts.get(), 1);
    iso_write_opts_set_output_charset(opts.get(), "UTF-8");

    burn_source *rawSource = nullptr;
    code = iso_image_create_burn_source(image.get(), opts.get(), &rawSource);
    if (code < 0)
        return fail(
            imagePath, QStringLiteral("Cannot make the disc image (%1)").arg(isoError(code)));
    std::unique_ptr<burn_source, SourceDeleter> stream(rawSource);

    const QString partPath = imagePath + QStringLiteral(".part");
    QFile part(partPath);
    if (!part.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(
            partPath, QStringLiteral("Cannot write the disc image (%1)").arg(part.errorString()));
    const auto abandon = [&](const QString &why) {
        part.close();
        QFile::remove(partPath);
        return fail(partPath, why);
    };
    const qint64 expected = qint64(stream->get_size(stream.get()));
    // One sector a read: the library's source ends at the last whole read,
    // and the image is whole sectors.
    QByteArray buffer(2048, Qt::Uninitialized);
    qint64 written = 0;
    qint64 sector = 0;
    bool descriptors = true;
    for (;; ++sector) {
        const int got = stream->read_xt(
            stream.get(), reinterpret_cast<unsigned char *>(buffer.data()), int(buffer.size()));
        if (got < 0)
            return abandon(QStringLiteral("Cannot make the disc image: a file of the export "
                                          "could not be read"));
        if (got == 0)
            break;
        if (descriptors && sector >= 16 && got == buffer.size())
            descriptors = setVolumeId(buffer, volumeName);
        // A full disk shows as a short write, a failed flush or a short file.
        if (part.write(buffer.constData(), got) != got)
            return abandon(QStringLiteral("Cannot write the disc image (%1)")
                               .arg(part.error() != QFileDevice::NoError
                                       ? part.errorString()
                                       : QStringLiteral("the disk may be full")));
        written += got;
    }
    if (!part.flush())
        return abandon(QStringLiteral("Cannot write the disc image (%1)").arg(part.errorString()));
    part.close();
    if (expected > 0 && (written != expected || QFileInfo(partPath).size() != expected))
        return abandon(QStringLiteral("Cannot write the disc image (%1 of %2 bytes written, "
                                      "the disk may be full)")
                           .arg(QFileInfo(partPath).size())
                           .arg(expected));
    // rename() replaces an earlier image in one step.
    if (std::rename(
            QFile::encodeName(partPath).constData(), QFile::encodeName(imagePath).constData())
        != 0)
        return abandon(QStringLiteral("Cannot rename the finished disc image to %1")
                           .arg(QDir::toNativeSeparators(imagePath)));
    result.imagePath = imagePath;
    return result;
}

QString discImageDoneText(const DiscImageResult &result)
{
    return QStringLiteral(u"فايل ISO براي نوشتن روي CD آماده است:\n")
        + QDir::toNativeSeparators(result.imagePath);
}

QString discImageFailedText(const DiscImageResult &result)
{
    return QStringLiteral(u"خروجي گرفته شد، ولي فايل ISO ساخته نشد:\n") + result.problem;
}

} // namespace zorvel
