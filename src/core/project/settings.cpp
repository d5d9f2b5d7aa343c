#include "core/project/settings.h"
#include "core/common/xmltext.h"

#include "core/book/buildlayout.h"
#include "core/common/filesystem.h"
#include "core/common/paths.h"
#include "core/project/bookslot.h"

#include <QStringDecoder>

namespace zorvel {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

QString Wsre(const QString &oip, const QString &wht)
{
    return elementText(oip, wht).value_or(QString());
}

QString templateCode(bool template1)
{
    return template1 ? QStringLiteral("1") : QStringLiteral("2");
}

QString musicCode(bool musicOn)
{
    return musicOn ? QStringLiteral("1") : QStringLiteral("0");
}

QString printCode(bool print)
{
    return print ? QStringLiteral("1") : QStringLiteral("0");
}

QString buildSettingsText(const ProjectSettings &s)
{
    const QChar tab = u'\t';
    QString t;
    t += QStringLiteral("<strings>") + kCrLf;
    // The counts are as typed; a "<" typed in one must not end its element.
    t += tab + QStringLiteral("<aBookNumber>") + xmlEscaped(s.aBookNumber) + QStringLiteral("</aBookNumber>") + kCrLf;
    t += tab + QStringLiteral("<bBookNumber>") + xmlEscaped(s.bBookNumber) + QStringLiteral("</bBookNumber>") + kCrLf;
    t += tab + QStringLiteral("<cBookNumber>") + xmlEscaped(s.cBookNumber) + QStringLiteral("</cBookNumber>") + kCrLf;
    t += tab + QStringLiteral("<Olgoo>") + templateCode(s.template1) + QStringLiteral("</Olgoo>") + kCrLf;
    t += tab + QStringLiteral("<Music>") + musicCode(s.musicOn) + QStringLiteral("</Music>") + kCrLf;
    t += tab + QStringLiteral("<Print>") + printCode(s.print) + QStringLiteral("</Print>") + kCrLf;
    t += QStringLiteral("</strings>");
    return t;
}

std::optional<ProjectSettings> parseSettingsText(const QString &text)
{
    ProjectSettings s;
    const char *names[] = {"aBookNumber", "bBookNumber", "cBookNumber", "Olgoo", "Music", "Print"};
    QString values[6];
    for (int i = 0; i < 6; ++i) {
        const auto v = elementText(text, QString::fromLatin1(names[i]));
        // Markup inside an element (another element's tag) is no value.
        if (!v || v->contains(u'<'))
            return std::nullopt;
        values[i] = unescapeXml(*v);
    }
    s.aBookNumber = values[0];
    s.bBookNumber = values[1];
    s.cBookNumber = values[2];
    s.template1 = values[3] == QLatin1String("1");
    s.musicOn = values[4] == QLatin1String("1");
    s.print = values[5] == QLatin1String("1");
    return s;
}

QString decodeSettingsText(const QByteArray &bytes)
{
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    auto utf16be = [](QByteArrayView v) {
        QStringDecoder decoder(QStringDecoder::Utf16BE);
        return QString(decoder(v));
    };
    if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE)
        return fromUtf16Le(bytes);
    if (n >= 2 && b[0] == 0xFE && b[1] == 0xFF)
        return utf16be(QByteArrayView(bytes).sliced(2));
    if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        return QString::fromUtf8(bytes.constData() + 3, n - 3);
    const QString marker = QStringLiteral("<strings>");
    const QString le = fromUtf16Le(bytes);
    if (le.contains(marker))
        return le;
    const QString be = utf16be(bytes);
    if (be.contains(marker))
        return be;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError() && text.contains(marker))
        return text;
    return le;
}

QString settingsFilePath(const QString &buildFolder)
{
    return DoSlash(buildFolder) + layout::pagesFolder() + folderSeparator()
        + layout::settingsFile();
}

namespace {

// Back and the music tracks. The copy replaces the old one through a
// temporary file, so the old copy is never deleted first: a failed copy keeps
// it, and a medium chosen from its own target is left alone.
void replaceMedia(const FileSystem &fs, const QString &source, const QString &target,
                  QStringList &problems)
{
    if (!fs.fileExists(source))
        return;
    try {
        fs.copyFile(source, target);
    } catch (const FsError &e) {
        problems << e.describe();
    }
}

} // namespace

SaveOutcome saveProject(const FileSystem &fs, const SaveRequest &r)
{
    SaveOutcome outcome;
    QStringList &problems = outcome.problems;
    const QString d = DoSlash(r.buildFolder);
    const QChar sep = folderSeparator();
    if (r.buildFolder.isEmpty()) {
        problems << layout::settingsFile();
        return outcome;
    }
    try {
        fs.writeUnicode(settingsFilePath(r.buildFolder), buildSettingsText(r.settings));
    } catch (const FsError &e) {
        problems << e.describe();
        return outcome;
    }
    outcome.settingsWritten = true;

    const BookSlot slot = parseBookSlot(r.pickerText);
    if (slot.valid && fs.fileExists(r.bookPicture)) {
        try {
            fs.copyFile(r.bookPicture, d + layout::picturesFolder() + sep
                    + layout::coverFileName(slot.rowLetter, slot.bookNo));
        } catch (const FsError &e) {
            problems << e.describe();
        }
    }
    const QString flash = d + layout::flashFolder() + sep;
    replaceMedia(fs, r.background, flash + layout::backgroundFile(), problems);
    if (r.settings.musicOn) {
        replaceMedia(fs, r.music1, flash + layout::shelfMusicFile(), problems);
        replaceMedia(fs, r.music2, flash + layout::bookMusicFile(), problems);
    }
    return outcome;
}

std::optional<ProjectSettings> readProject(const FileSystem &fs, const QString &buildFolder,
                                           QString *problem)
{
    if (buildFolder.isEmpty())
        return std::nullopt;
    const QString path = settingsFilePath(buildFolder);
    if (!fs.fileExists(path))
        return std::nullopt;
    QString text;
    try {
        text = decodeSettingsText(fs.readBytes(path));
    } catch (const FsError &e) {
        if (problem)
            *problem = e.describe();
        return std::nullopt;
    }
    if (text.isEmpty())
        return std::nullopt;
    auto parsed = text.contains(QStringLiteral("<strings>")) ? parseSettingsText(text)
                                                              : std::nullopt;
    if (!parsed && problem)
        *problem = path;
    return parsed;
}

} // namespace zorvel
