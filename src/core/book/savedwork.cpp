#include "core/book/savedwork.h"

#include "core/book/buildlayout.h"
#include "core/common/filesystem.h"
#include "core/common/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

namespace zorvel {

namespace {

// 1: without the raw text and the input text's size and time.
constexpr int kFormat = 2;

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
    return !work.table.paragraphs.isEmpty() || !work.bookName.isEmpty() || work.table.imgCount > 0
        || (work.text && work.text->edited);
}

QString workFolderPath(const QString &buildFolder)
{
    return DoSlashAlways(buildFolder) + layout::workFolder();
}

QString workFilePath(const QString &buildFolder, const QString &rowLetter, const QString &bookNo)
{
    return workFolderPath(buildFolder) + folderSeparator() + rowLetter + bookNo
        + QStringLiteral(".json");
}

namespace {

// JSON written straight into a string: the work is saved after every mark,
// and a full table holds a megabyte of RTF, which a QJsonDocument takes
// several times longer to build and write.
class JsonOut {
public:
    explicit JsonOut(qsizetype reserve) { m_text.reserve(reserve); }

    void raw(QLatin1StringView s) { m_text += s; }
    void raw(QChar c) { m_text += c; }
    void number(qint64 n) { m_text += QString::number(n); }
    void string(QStringView s)
    {
        static const char hex[] = "0123456789abcdef";
        // At most six characters for one (\u00XX), and the two quotes.
        const qsizetype old = m_text.size();
        m_text.resize(old + s.size() * 6 + 2);
        char16_t *const base = reinterpret_cast<char16_t *>(m_text.data());
        char16_t *d = base + old;
        *d++ = u'"';
        for (const QChar ch : s) {
            const char16_t u = ch.unicode();
            if (u == u'"' || u == u'\\') {
                *d++ = u'\\';
                *d++ = u;
            } else if (u < 0x20) {
                for (const char c : {'\\', 'u', '0', '0', hex[u >> 4], hex[u & 15]})
                    *d++ = char16_t(c);
            } else {
                *d++ = u;
            }
        }
        *d++ = u'"';
        m_text.resize(d - base);
    }
    void key(const char *name)
    {
        string(QString::fromLatin1(name));
        m_text += u':';
    }
    QByteArray utf8() const { return m_text.toUtf8(); }

private:
    QString m_text;
};

} // namespace

QByteArray workToJson(const BookWork &work)
{
    qsizetype size = 4096;
    for (const ParagraphSlot &s : work.table.paragraphs)
        size += s.title.size() + s.body.size() + s.pic.size() + s.sound.size() + s.film.size() + 80;
    for (const QString &r : work.table.rows)
        size += r.size() + 4;
    if (work.text)
        for (const TextSplice &e : work.text->edits)
            size += e.inserted.size() + 32;
    JsonOut out(size);
    out.raw(u'{');
    out.key("format");
    out.number(kFormat);
    const std::pair<const char *, const QString *> texts[] = {{"row", &work.rowLetter},
                                                               {"book", &work.bookNo},
                                                               {"bookName", &work.bookName},
                                                               {"inputText", &work.inputText},
                                                               {"mainText", &work.table.mainText}};
    for (const auto &[name, value] : texts) {
        out.raw(u',');
        out.key(name);
        out.string(*value);
    }
    const std::pair<const char *, qint64> numbers[] = {{"parCount", work.table.parCount},
                                                        {"mainDepth", work.table.mainDepth},
                                                        {"imgCount", work.table.imgCount},
                                                        {"inputSize", work.inputSize},
                                                        {"inputModified", work.inputModified}};
    for (const auto &[name, value] : numbers) {
        out.raw(u',');
        out.key(name);
        out.number(value);
    }
    // Inline pictures by number; the empty ones are left out.
    out.raw(QLatin1StringView(",\"pictures\":{"));
    bool first = true;
    for (qsizetype n = 0; n < work.table.imgList.size(); ++n) {
        if (work.table.imgList[n].isEmpty())
            continue;
        if (!first)
            out.raw(u',');
        first = false;
        out.string(QString::number(n));
        out.raw(u':');
        out.string(work.table.imgList[n]);
    }
    out.raw(QLatin1StringView("},\"rows\":["));
    for (qsizetype i = 0; i < work.table.rows.size(); ++i) {
        if (i > 0)
            out.raw(u',');
        out.string(work.table.rows[i]);
    }
    out.raw(QLatin1StringView("],\"slots\":["));
    for (qsizetype i = 0; i < work.table.paragraphs.size(); ++i) {
        const ParagraphSlot &s = work.table.paragraphs[i];
        out.raw(QLatin1StringView(i > 0 ? ",{" : "{"));
        const std::pair<const char *, const QString *> fields[] = {
            {"title", &s.title}, {"body", &s.body}, {"picture", &s.pic}, {"sound", &s.sound}, {"film", &s.film}};
        for (int k = 0; k < 5; ++k) {
            if (k > 0)
                out.raw(u',');
            out.key(fields[k].first);
            out.string(*fields[k].second);
        }
        out.raw(u'}');
    }
    out.raw(u']');
    if (work.text) {
        const BookWork::Text &t = *work.text;
        out.raw(QLatin1StringView(",\"text\":{"));
        out.key("base");
        out.string(t.baseFile);
        const std::pair<const char *, qint64> fields[] = {{"baseLength", t.baseLength},
                                                          {"edited", t.edited ? 1 : 0},
                                                          {"anchor", t.anchor},
                                                          {"caret", t.caret}};
        for (const auto &[name, value] : fields) {
            out.raw(u',');
            out.key(name);
            out.number(value);
        }
        // Each edit as [at, length removed, text inserted].
        out.raw(QLatin1StringView(",\"edits\":["));
        for (qsizetype i = 0; i < t.edits.size(); ++i) {
            const TextSplice &e = t.edits[i];
            out.raw(QLatin1StringView(i > 0 ? ",[" : "["));
            out.number(e.at);
            out.raw(u',');
            out.number(e.removed);
            out.raw(u',');
            out.string(e.inserted);
            out.raw(u']');
        }
        out.raw(QLatin1StringView("]}"));
    }
    out.raw(u'}');
    return out.utf8();
}

namespace {

bool isWholeNumber(const QJsonValue &v)
{
    return v.isDouble() && v.toDouble() == double(v.toInteger());
}

// The raw text's part of the work file; the base itself is read later.
std::optional<BookWork::Text> textFromJson(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject o = value.toObject();
    if (!o.value("base").isString() || !o.value("edits").isArray())
        return std::nullopt;
    for (const char *key : {"baseLength", "edited", "anchor", "caret"})
        if (!isWholeNumber(o.value(QLatin1String(key))) || o.value(QLatin1String(key)).toInteger() < 0)
            return std::nullopt;
    BookWork::Text t;
    t.baseFile = o.value("base").toString();
    t.baseLength = o.value("baseLength").toInteger(); // the base is checked against it
    t.edited = o.value("edited").toInteger() != 0;
    t.anchor = int(o.value("anchor").toInteger());
    t.caret = int(o.value("caret").toInteger());
    for (const QJsonValue &v : o.value("edits").toArray()) {
        const QJsonArray e = v.toArray();
        if (e.size() != 3 || !isWholeNumber(e[0]) || !isWholeNumber(e[1]) || !e[2].isString()
            || e[0].toInteger() < 0 || e[1].toInteger() < 0)
            return std::nullopt;
        t.edits << TextSplice{e[0].toInteger(), e[1].toInteger(), e[2].toString()};
    }
    return t;
}

// A base of the work file for `slot`: slot, ".", a number, ".txt", and nothing
// that leads out of the Work folder.
bool isTextBaseName(const QString &slot, const QString &name, int *number = nullptr)
{
    const QString head = slot + u'.';
    if (!name.startsWith(head) || !name.endsWith(QLatin1String(".txt")))
        return false;
    const QStringView digits = QStringView(name).mid(head.size(), name.size() - head.size() - 4);
    if (digits.isEmpty() || digits.size() > 9)
        return false;
    for (const QChar c : digits)
        if (c < u'0' || c > u'9')
            return false;
    if (number)
        *number = digits.toInt();
    return true;
}

QString folderOfFile(const QString &path)
{
    const qsizetype cut = path.lastIndexOf(folderSeparator());
    return cut > 0 ? path.left(cut) : QString();
}

QString slotOfWorkFile(const QString &path)
{
    return QFileInfo(path).completeBaseName();
}

} // namespace

std::optional<BookWork> workFromJson(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject root = doc.object();
    const int format = root.value("format").toInt();
    if (format < 1 || format > kFormat)
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
    if (format >= 2) {
        for (const char *key : {"inputSize", "inputModified"})
            if (!root.value(QLatin1String(key)).isDouble())
                return std::nullopt;
        w.inputSize = root.value("inputSize").toInteger();
        w.inputModified = root.value("inputModified").toInteger();
        if (root.contains(QLatin1String("text"))) {
            const auto text = textFromJson(root.value("text"));
            if (!text)
                return std::nullopt;
            w.text = text;
        }
    }
    return w;
}

namespace {

// The build folder of a work file: the folder above Work.
QString buildFolderOf(const QString &workFile)
{
    QDir dir = QFileInfo(workFile).absoluteDir();
    dir.cdUp();
    return QDir::cleanPath(dir.absolutePath());
}

// Every path of the work, in place.
template <typename F>
void forEachMediaPath(BookWork &work, F f)
{
    for (ParagraphSlot &s : work.table.paragraphs) {
        for (QString *p : {&s.pic, &s.sound, &s.film})
            if (!p->isEmpty())
                f(*p);
    }
    for (QString &p : work.table.imgList)
        if (!p.isEmpty())
            f(p);
}

Qt::CaseSensitivity pathCase()
{
#ifdef Q_OS_WIN
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

bool cleanInside(const QString &path, const QString &folder)
{
    if (folder.isEmpty())
        return false;
    const QString f = QDir::cleanPath(folder);
    return QDir::cleanPath(path).startsWith(f.endsWith(u'/') ? f : f + u'/', pathCase());
}

// Inside as written, and, for a file that is there, where it really lies
// (a link inside leading outside is outside).
bool inside(const QString &path, const QString &folder)
{
    const QString abs = QDir::fromNativeSeparators(path);
    if (!QDir::isAbsolutePath(abs) || !cleanInside(abs, QDir::fromNativeSeparators(folder)))
        return false;
    const QFileInfo fi(abs);
    if (!fi.exists())
        return true;
    const QString realFolder = QFileInfo(folder).canonicalFilePath();
    return !realFolder.isEmpty() && cleanInside(fi.canonicalFilePath(), realFolder);
}

} // namespace

void saveBookWork(const FileSystem &fs, const QString &path, const BookWork &work)
{
    const qsizetype cut = path.lastIndexOf(folderSeparator());
    if (cut > 0)
        fs.createFolderPath(path.left(cut));
    const QString build = buildFolderOf(path);
    BookWork portable = work;
    forEachMediaPath(portable, [&](QString &p) {
        const QString abs = QDir::fromNativeSeparators(p);
        if (cleanInside(abs, build))
            p = QDir(build).relativeFilePath(QDir::cleanPath(abs));
    });
    fs.writeBytes(path, workToJson(portable));
}

namespace {

// Reads the base the work names and checks the edits against it; on any
// failure the work goes on without its text and the reason is returned.
QString readTextBase(const FileSystem &fs, const QString &path, BookWork &work)
{
    BookWork::Text &t = *work.text;
    const QString file = folderOfFile(path) + folderSeparator() + t.baseFile;
    if (!isTextBaseName(slotOfWorkFile(path), t.baseFile))
        return QDir::toNativeSeparators(file);
    QString base;
    try {
        QStringDecoder utf8(QStringDecoder::Utf8);
        base = utf8(fs.readBytes(file));
        if (utf8.hasError())
            return QDir::toNativeSeparators(file);
    } catch (const FsError &e) {
        return e.describe();
    }
    if (base.size() != t.baseLength)
        return QDir::toNativeSeparators(file);
    if (!t.restored.restore(base, t.baseFile, t.edits))
        return QDir::toNativeSeparators(file);
    t.restored.setEdited(t.edited);
    const int length = int(t.restored.text().size());
    if (t.anchor > length || t.caret > length)
        t.anchor = t.caret = 0;
    return {};
}

} // namespace

std::optional<BookWork> loadBookWork(const FileSystem &fs, const QString &path, QString *problem)
{
    if (!fs.fileExists(path))
        return std::nullopt;
    try {
        auto work = workFromJson(fs.readBytes(path));
        if (!work) {
            if (problem)
                *problem = QDir::toNativeSeparators(path);
            return work;
        }
        const QDir build(buildFolderOf(path));
        forEachMediaPath(*work, [&](QString &p) {
            if (QDir::isRelativePath(p))
                p = QDir::toNativeSeparators(QDir::cleanPath(build.absoluteFilePath(p)));
        });
        if (work->text) {
            const QString lost = readTextBase(fs, path, *work);
            if (!lost.isEmpty()) {
                work->text.reset();
                if (problem)
                    *problem = lost;
            }
        }
        return work;
    } catch (const FsError &e) {
        if (problem)
            *problem = e.describe();
        return std::nullopt;
    }
}

QString saveWorkTextBase(const FileSystem &fs, const QString &path, const QString &base)
{
    const QString folder = folderOfFile(path);
    const QString slot = slotOfWorkFile(path);
    fs.createFolderPath(folder);
    int next = 1;
    for (const QString &name : fs.listFiles(folder)) {
        int n = 0;
        if (isTextBaseName(slot, name, &n))
            next = std::max(next, n + 1);
    }
    const QString name = slot + u'.' + QString::number(next) + QStringLiteral(".txt");
    fs.writeBytes(folder + folderSeparator() + name, base.toUtf8());
    return name;
}

void removeWorkTextBases(const FileSystem &fs, const QString &path, const QString &keep)
{
    const QString folder = folderOfFile(path);
    if (!fs.folderExists(folder))
        return;
    const QString slot = slotOfWorkFile(path);
    for (const QString &name : fs.listFiles(folder))
        if (name != keep && isTextBaseName(slot, name))
            fs.deleteFile(folder + folderSeparator() + name);
}

QString setAsideUnreadableWork(const QString &path, const QDateTime &now)
{
    const QFileInfo fi(path);
    const QString stem = fi.dir().filePath(fi.completeBaseName() + QStringLiteral(".unreadable-")
        + now.toString(QStringLiteral("yyyyMMdd-HHmmss")));
    QString target = stem + QStringLiteral(".json");
    for (int k = 2; QFileInfo::exists(target); ++k)
        target = stem + u'-' + QString::number(k) + QStringLiteral(".json");
    QFile file(path);
    if (!file.rename(target))
        throw FsError(path, QStringLiteral("Cannot rename file (") + file.errorString() + u')');
    return target;
}

QString workMediaFolderPath(
    const QString &buildFolder, const QString &rowLetter, const QString &bookNo)
{
    return workFolderPath(buildFolder) + folderSeparator() + rowLetter + bookNo
        + QStringLiteral(".media");
}

QString adoptMedium(const FileSystem &fs, const QString &mediaFolder, const QString &source)
{
    if (inside(source, mediaFolder) && fs.fileExists(source))
        return source;
    if (!fs.fileExists(source))
        throw FsError(source, QStringLiteral("File not found"));
    fs.createFolderPath(mediaFolder);
    const QString name = fileNameOf(source);
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString stem = dot < 0 ? name : name.left(dot);
    const QString ext = dot < 0 ? QString() : name.mid(dot);
    const qint64 size = QFileInfo(source).size();
    for (int k = 1;; ++k) {
        const QString candidate = joinPath(mediaFolder,
            k == 1 ? name : stem + u'-' + QString::number(k) + ext);
        if (!QFileInfo::exists(candidate)) {
            fs.copyFile(source, candidate);
            return candidate;
        }
        if (QFileInfo(candidate).size() == size && fs.fileExists(candidate)
            && fs.readBytes(candidate) == fs.readBytes(source))
            return candidate;
    }
}

void removeWorkMedia(const QString &mediaFolder)
{
    if (QFileInfo(mediaFolder).isDir())
        QDir(mediaFolder).removeRecursively();
}

QStringList refuseForeignMedia(BookWork &work, const QStringList &allowedFolders)
{
    QStringList refused;
    forEachMediaPath(work, [&](QString &p) {
        for (const QString &folder : allowedFolders) {
            if (inside(p, folder))
                return;
        }
        if (!refused.contains(p))
            refused << p;
        p.clear();
    });
    return refused;
}

} // namespace zorvel
