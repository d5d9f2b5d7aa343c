#include "workbench/savedwork.h"

#include "common/filesystem.h"
#include "common/paths.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace zorvel {

namespace {

constexpr int kFormat = 1;

QJsonArray toArray(const QStringList &list)
{
    QJsonArray a;
    for (const QString &s : list)
        a.append(s);
    return a;
}

std::optional<QStringList> toList(const QJsonValue &v)
{
    if (!v.isArray())
        return std::nullopt;
    QStringList out;
    for (const QJsonValue &e : v.toArray()) {
        if (!e.isString())
            return std::nullopt;
        out << e.toString();
    }
    return out;
}

} // namespace

bool hasWork(const BookWork &work)
{
    return !work.table.paragraphs.isEmpty() || !work.bookName.isEmpty() || work.table.imgCount > 0;
}

QString workFolderPath(const QString &buildFolder)
{
    return DoSlashAlways(buildFolder) + QStringLiteral("Work");
}

QString workFilePath(const QString &buildFolder, const QString &rowLetter, const QString &bookNo)
{
    return workFolderPath(buildFolder) + folderSeparator() + rowLetter + bookNo
        + QStringLiteral(".json");
}

QByteArray workToJson(const BookWork &work)
{
    QJsonArray paragraphs;
    for (const ParagraphSlot &s : work.table.paragraphs) {
        paragraphs.append(QJsonObject{{"title", s.title},
                                 {"body", s.body},
                                 {"picture", s.pic},
                                 {"sound", s.sound},
                                 {"film", s.film}});
    }
    // Inline pictures by number; the empty ones are left out.
    QJsonObject pictures;
    for (qsizetype n = 0; n < work.table.imgList.size(); ++n)
        if (!work.table.imgList[n].isEmpty())
            pictures.insert(QString::number(n), work.table.imgList[n]);
    const QJsonObject root{{"format", kFormat},
                           {"row", work.rowLetter},
                           {"book", work.bookNo},
                           {"bookName", work.bookName},
                           {"inputText", work.inputText},
                           {"parCount", work.table.parCount},
                           {"mainDepth", work.table.mainDepth},
                           {"mainText", work.table.mainText},
                           {"imgCount", work.table.imgCount},
                           {"pictures", pictures},
                           {"rows", toArray(work.table.rows)},
                           {"slots", paragraphs}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

std::optional<BookWork> workFromJson(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject root = doc.object();
    if (root.value("format").toInt() != kFormat)
        return std::nullopt;
    for (const char *key : {"row", "book", "bookName", "inputText", "mainText"})
        if (!root.value(QLatin1String(key)).isString())
            return std::nullopt;
    for (const char *key : {"parCount", "mainDepth", "imgCount"})
        if (!root.value(QLatin1String(key)).isDouble())
            return std::nullopt;
    BookWork w;
    w.rowLetter = root.value("row").toString();
    w.bookNo = root.value("book").toString();
    w.bookName = root.value("bookName").toString();
    w.inputText = root.value("inputText").toString();
    w.table.parCount = root.value("parCount").toInt();
    w.table.mainDepth = root.value("mainDepth").toInt();
    w.table.mainText = root.value("mainText").toString();
    w.table.imgCount = root.value("imgCount").toInt();
    const auto rows = toList(root.value("rows"));
    if (!rows)
        return std::nullopt;
    w.table.rows = *rows;
    if (!root.value("slots").isArray() || !root.value("pictures").isObject())
        return std::nullopt;
    for (const QJsonValue &v : root.value("slots").toArray()) {
        const QJsonObject o = v.toObject();
        ParagraphSlot s;
        QString *fields[] = {&s.title, &s.body, &s.pic, &s.sound, &s.film};
        const char *keys[] = {"title", "body", "picture", "sound", "film"};
        for (int k = 0; k < 5; ++k) {
            const QJsonValue f = o.value(QLatin1String(keys[k]));
            if (!f.isString())
                return std::nullopt;
            *fields[k] = f.toString();
        }
        w.table.paragraphs << s;
    }
    w.table.imgList = QStringList(kInlinePictureCount, QString());
    const QJsonObject pictures = root.value("pictures").toObject();
    for (auto it = pictures.begin(); it != pictures.end(); ++it) {
        bool ok = false;
        const int n = it.key().toInt(&ok);
        if (!ok || n < 0 || n >= kInlinePictureCount || !it.value().isString())
            return std::nullopt;
        w.table.imgList[n] = it.value().toString();
    }
    // The table checks that its parts fit together.
    if (!ParagraphTable().restore(w.table))
        return std::nullopt;
    return w;
}

void saveBookWork(const FileSystem &fs, const QString &path, const BookWork &work)
{
    const qsizetype cut = path.lastIndexOf(folderSeparator());
    if (cut > 0)
        fs.createFolderPath(path.left(cut));
    fs.writeBytes(path, workToJson(work));
}

std::optional<BookWork> loadBookWork(const FileSystem &fs, const QString &path, QString *problem)
{
    if (!fs.fileExists(path))
        return std::nullopt;
    try {
        auto work = workFromJson(fs.readBytes(path));
        if (!work && problem)
            *problem = QDir::toNativeSeparators(path);
        return work;
    } catch (const FsError &e) {
        if (problem)
            *problem = e.describe();
        return std::nullopt;
    }
}

} // namespace zorvel
