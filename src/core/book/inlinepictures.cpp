#include "core/book/inlinepictures.h"

#include "core/richtext/rtf_reader.h"

#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

namespace zorvel {

int inlinePictureNumber(const QString &objectRtf)
{
    static const QRegularExpression word(QStringLiteral("\\\\I(\\d{1,5})(?![0-9])"));
    const QRegularExpressionMatch m = word.match(objectRtf);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString numberedPictureTemplate(const QString &imgT, int n)
{
    QString t = imgT;
    t.replace(QStringLiteral("\\objw330\\objh270"),
        QStringLiteral("\\objw330\\I") + QString::number(n) + QStringLiteral("\\objh270"));
    return t;
}

QString inlinePictureGroup(const QString &imgT, int n)
{
    const QString t = numberedPictureTemplate(imgT, n);
    const qsizetype start = t.indexOf(QLatin1String("{\\object"));
    if (start < 0)
        return {};
    int depth = 0;
    for (qsizetype i = start; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c == u'\\') {
            ++i; // an escaped brace or backslash
        } else if (c == u'{') {
            ++depth;
        } else if (c == u'}' && --depth == 0) {
            return t.mid(start, i - start + 1);
        }
    }
    return {};
}

namespace {

// The picture inside a box of the object's size, not stretched.
QImage fitted(const QImage &picture, const QSize &box)
{
    QImage out(box, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    const QImage scaled = picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&out);
    painter.drawImage((box.width() - scaled.width()) / 2, (box.height() - scaled.height()) / 2, scaled);
    return out;
}

} // namespace

int showInlinePictures(QTextDocument *document, const QStringList &paths)
{
    int shown = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!format.isImageFormat() || !format.hasProperty(kRtfObjectProperty))
                continue;
            const QTextImageFormat image = format.toImageFormat();
            const int n = inlinePictureNumber(format.property(kRtfObjectProperty).toString());
            if (n < 0 || n >= paths.size() || paths.at(n).isEmpty())
                continue;
            const QImage picture(paths.at(n));
            const QSize box(qRound(image.width()), qRound(image.height()));
            if (picture.isNull() || box.isEmpty())
                continue; // the template's icon stays
            // The object's own resource name: only this object changes.
            document->addResource(QTextDocument::ImageResource, QUrl(image.name()), fitted(picture, box));
            document->markContentsDirty(fragment.position(), fragment.length());
            ++shown;
        }
    }
    return shown;
}

} // namespace zorvel
