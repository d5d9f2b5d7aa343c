// Turns the installer's PNG pictures into what a Win32 resource file takes:
// 24-bit BMP files laid on the colour of a dialog's face, the pages cut to
// the height of their place in the window, and the icon as an ICO file.
//   art_to_bmp <art folder> <output folder>
#include <QColor>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

// The face colour of dialogs and buttons in Windows' default scheme.
const QColor face(240, 240, 240);

bool convert(const QString &from, const QString &to, int height)
{
    QImage image(from);
    if (image.isNull())
        return false;
    if (height > 0 && image.height() > height)
        image = image.copy(0, 0, image.width(), height);
    QImage flat(image.size(), QImage::Format_RGB888);
    flat.fill(face);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    painter.end();
    return flat.save(to, "BMP");
}

// An icon of 32-bit pictures with alpha (the form every Windows since XP reads).
bool writeIcon(const QString &from, const QString &to)
{
    const QImage source(from);
    if (source.isNull())
        return false;
    const int sizes[] = { 16, 32, 48, 64 };
    QList<QByteArray> images;
    for (const int size : sizes) {
        const QImage image
            = source.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                  .convertToFormat(QImage::Format_ARGB32);
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setByteOrder(QDataStream::LittleEndian);
        const int maskRow = ((size + 31) / 32) * 4;
        out << quint32(40) << qint32(size) << qint32(size * 2) << quint16(1) << quint16(32)
            << quint32(0) << quint32(size * size * 4 + maskRow * size) << qint32(0) << qint32(0)
            << quint32(0) << quint32(0);
        for (int y = size - 1; y >= 0; --y) {
            for (int x = 0; x < size; ++x) {
                const QRgb pixel = image.pixel(x, y);
                out << quint8(qBlue(pixel)) << quint8(qGreen(pixel)) << quint8(qRed(pixel))
                    << quint8(qAlpha(pixel));
            }
        }
        for (int i = 0; i < maskRow * size; ++i)
            out << quint8(0);
        images.append(bytes);
    }
    QFile file(to);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(images.size());
    quint32 offset = 6 + 16 * quint32(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const int size = sizes[i];
        out << quint8(size) << quint8(size) << quint8(0) << quint8(0) << quint16(1) << quint16(32)
            << quint32(images[i].size()) << quint32(offset);
        offset += quint32(images[i].size());
    }
    for (const QByteArray &image : images)
        out.writeRawData(image.constData(), int(image.size()));
    return file.flush() && out.status() == QDataStream::Ok;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: art_to_bmp <art folder> <output folder>\n");
        return 2;
    }
    const QString art = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "art_to_bmp: cannot make %s\n", argv[2]);
        return 1;
    }
    // The pages stand in a place 105 pixels high (1575 twips).
    const struct {
        const char *name;
        int height;
    } pictures[] = { { "page0", 105 }, { "page1", 105 }, { "page2", 105 }, { "next", 0 },
        { "back", 0 }, { "exit", 0 }, { "folder", 0 }, { "ok", 0 } };
    for (const auto &picture : pictures) {
        const QString name = QString::fromLatin1(picture.name);
        if (!convert(art + u'/' + name + ".png", out + u'/' + name + ".bmp", picture.height)) {
            std::fprintf(stderr, "art_to_bmp: cannot convert %s\n", picture.name);
            return 1;
        }
    }
    if (!writeIcon(art + "/icon.png", out + "/icon.ico")) {
        std::fprintf(stderr, "art_to_bmp: cannot write the icon\n");
        return 1;
    }
    return 0;
}
