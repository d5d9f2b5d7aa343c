#include "core/project/bookslot.h"

#include "core/book/buildlayout.h"
#include "core/common/filesystem.h"
#include "core/common/paths.h"

#include <cmath>

namespace zorvel {

BookSlot parseBookSlot(const QString &entry)
{
    BookSlot slot;
    const qsizetype open = entry.indexOf(u'(');
    const qsizetype close = entry.indexOf(u')');
    if (open < 0 || close < 0 || close < open + 2)
        return slot;
    const QString inner = entry.mid(open + 1, close - open - 1);
    slot.rowLetter = inner.left(1);
    slot.bookNo = inner.mid(1);
    slot.valid = true;
    return slot;
}

QStringList ordinalWords()
{
    return QStringLiteral(u"اول:دوم:سوم:چهارم:پنجم:ششم:هفتم:هشتم:نهم:دهم").split(u':');
}

QString rowWord(const QString &rowLetter)
{
    if (rowLetter == QLatin1String("a"))
        return QStringLiteral(u"اول");
    if (rowLetter == QLatin1String("b"))
        return QStringLiteral(u"دوم");
    if (rowLetter == QLatin1String("c"))
        return QStringLiteral(u"سوم");
    return {};
}

QString latinDigits(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if (u >= 0x06F0 && u <= 0x06F9)
            c = QChar(u'0' + (u - 0x06F0));
        else if (u >= 0x0660 && u <= 0x0669)
            c = QChar(u'0' + (u - 0x0660));
        else if (u == 0x066B)
            c = u'.';
    }
    return out;
}

int bookCountOf(const QString &countText)
{
    bool ok = false;
    const double value = latinDigits(countText).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return 0;
    const double whole = std::floor(value);
    if (whole < 1)
        return 0;
    return whole > 10 ? 10 : static_cast<int>(whole);
}

QString pickerEntry(const QString &rowLetter, int k)
{
    return QStringLiteral(u"رديف ") + rowWord(rowLetter) + QStringLiteral(u" -> كتاب ")
        + ordinalWords().at(k - 1) + QStringLiteral("  (") + rowLetter + QString::number(k)
        + u')';
}

QString treeFilePath(const QString &buildFolder, const QString &rowLetter, int k)
{
    return DoSlash(buildFolder) + layout::indexFolder() + folderSeparator()
        + layout::treeFileName(rowLetter, QString::number(k));
}

QStringList unfinishedBooks(const FileSystem &fs, const QString &buildFolder,
                            const QString &countA, const QString &countB, const QString &countC)
{
    QStringList entries;
    const QString letters[3] = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    const QString counts[3] = {countA, countB, countC};
    for (int row = 0; row < 3; ++row) {
        const int n = bookCountOf(counts[row]);
        for (int k = 1; k <= n; ++k)
            if (buildFolder.isEmpty() || !fs.fileExists(treeFilePath(buildFolder, letters[row], k)))
                entries << pickerEntry(letters[row], k);
    }
    return entries;
}

QStringList finishedBooks(const FileSystem &fs, const QString &buildFolder)
{
    QStringList done;
    for (const char *letter : {"a", "b", "c"}) {
        const QString row = QString::fromLatin1(letter);
        for (int k = 1; k <= 10; ++k)
            if (fs.fileExists(treeFilePath(buildFolder, row, k)))
                done << row + QString::number(k);
    }
    return done;
}

int indexOfBook(const QStringList &entries, const QString &rowLetter, const QString &bookNo)
{
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const BookSlot slot = parseBookSlot(entries[i]);
        if (slot.valid && slot.rowLetter == rowLetter && slot.bookNo == bookNo)
            return static_cast<int>(i);
    }
    return -1;
}

int entryIndexOfSameBook(const QStringList &entries, const QString &chosenEntry)
{
    if (entries.isEmpty())
        return -1;
    const BookSlot chosen = parseBookSlot(chosenEntry);
    const int at = chosen.valid ? indexOfBook(entries, chosen.rowLetter, chosen.bookNo) : -1;
    return at < 0 ? 0 : at;
}

} // namespace zorvel
