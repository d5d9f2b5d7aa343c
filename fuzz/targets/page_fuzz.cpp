// A page file: read as the reader and the e-book read it, and made into a
// printable page.
#include "fuzz_input.h"

#include "core/book/bookmodel.h"
#include "core/common/filesystem.h"
#include "core/export/printpages.h"

#include <QDir>
#include <QRegularExpression>
#include <QFile>
#include <QTemporaryDir>

namespace {

// A pictures folder holding two pictures, so that references can be found.
const zorvel::FolderNames &pictures()
{
    static QTemporaryDir dir;
    static const zorvel::FolderNames names = [] {
        for (const char *name : {"a.jpg", "B.PNG"}) {
            QFile f(dir.filePath(QString::fromLatin1(name)));
            if (f.open(QIODevice::WriteOnly))
                f.write("x");
        }
        return zorvel::FolderNames(zorvel::FileSystem(), dir.path());
    }();
    return names;
}

} // namespace

int fuzzPage(const uint8_t *data, size_t size)
{
    const QString text = zorvel::fuzz::textOf(data, size);
    const auto page = zorvel::parsePage(text, pictures());
    const auto printable
        = zorvel::printablePage(text, QStringLiteral("<h1>%Title%</h1><div>%Matn%</div>%"));
    zorvel::fuzz::check(page.has_value() == printable.has_value());
    if (page) {
        for (const zorvel::PageBlock &b : page->blocks) {
            if (b.kind == zorvel::PageBlock::Kind::Image)
                zorvel::fuzz::check(b.value == QLatin1String("BookIMG/a.jpg")
                    || b.value == QLatin1String("BookIMG/B.PNG"));
        }
        // Page text is text in the printout: the only tags are the program's.
        static const QRegularExpression tag(QStringLiteral("<(?!/?p\\b|/?h1>|/?div>|IMG src=\"\\.\\./BookIMG/[^\"/\\\\<>]*\">)"));
        zorvel::fuzz::check(!tag.match(*printable).hasMatch());
    }
    return 0;
}

ZORVEL_FUZZ_ENTRY(fuzzPage)
