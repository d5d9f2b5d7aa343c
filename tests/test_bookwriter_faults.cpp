// Every single write of a book failed in turn: the program's own write(),
// fdatasync() and close() calls into files of the build folder are counted,
// and the n-th one is made to fail with EIO. Whatever fails, the book is
// either made whole or not at all, and the build folder is left as it was.
#include "core/book/bookwriter.h"
#include "core/book/buildlayout.h"
#include "core/common/filesystem.h"
#include "support/foldersnapshot.h"
#include "support/tempprogram.h"

#include <QtTest>

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>

using namespace zorvel;
using zorvel::testing::folderSnapshot;
using zorvel::testing::snapshotDifference;
using zorvel::testing::TempProgram;

namespace {

// Only calls on files below this folder count; empty: nothing counts.
char g_root[PATH_MAX] = {};
std::atomic<long> g_calls { 0 };
std::atomic<long> g_failAt { -1 }; // the call (from 1) that fails; -1: none
std::atomic<bool> g_failed { false };

bool underRoot(int fd)
{
    if (g_root[0] == '\0' || fd < 0)
        return false;
    char link[64];
    char target[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = ::readlink(link, target, sizeof target - 1);
    if (n <= 0)
        return false;
    target[n] = '\0';
    const size_t len = std::strlen(g_root);
    return std::strncmp(target, g_root, len) == 0 && target[len] == '/';
}

// True when this call is the one to fail.
bool injectHere(int fd)
{
    if (!underRoot(fd))
        return false;
    const long call = ++g_calls;
    if (call != g_failAt.load())
        return false;
    g_failed = true;
    return true;
}

template <typename F>
F realFunction(const char *name)
{
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

} // namespace

// The process's own definitions come first, for Qt's calls as for ours.
extern "C" ssize_t write(int fd, const void *buf, size_t count)
{
    static const auto real = realFunction<ssize_t (*)(int, const void *, size_t)>("write");
    if (injectHere(fd)) {
        errno = EIO;
        return -1;
    }
    return real(fd, buf, count);
}

extern "C" int fdatasync(int fd)
{
    static const auto real = realFunction<int (*)(int)>("fdatasync");
    if (injectHere(fd)) {
        errno = EIO;
        return -1;
    }
    return real(fd);
}

extern "C" int fsync(int fd)
{
    static const auto real = realFunction<int (*)(int)>("fsync");
    if (injectHere(fd)) {
        errno = EIO;
        return -1;
    }
    return real(fd);
}

extern "C" int close(int fd)
{
    static const auto real = realFunction<int (*)(int)>("close");
    const bool fail = injectHere(fd);
    const int r = real(fd); // the descriptor goes either way, as after a real failed close
    if (fail) {
        errno = EIO;
        return -1;
    }
    return r;
}

namespace {

struct Scenario {
    const char *name;
    bool titleFileExists;
    bool rewrite; // the book was written before
};

// A build folder with one book's sources: a main title holding a page with a
// picture, a sound, a film and an inline picture, an identity page, and a
// page that uses the same inline picture again.
class Project {
public:
    explicit Project(const Scenario &s)
    {
        for (const char *sub : { "Data/BookTXT", "Data/_xml", "Data/BookIMG" })
            m_tp.mkdir(QString::fromLatin1(sub));
        if (s.titleFileExists)
            m_tp.write(QStringLiteral("Data/_xml/BookTitle.xml"),
                zorvel::testing::utf16le(layout::titleListStart()
                    + layout::titleLine(QStringLiteral("b"), QStringLiteral("2"), QStringLiteral("Other"))));
        m_request.buildFolder = m_tp.file(QStringLiteral("Data"));
        m_request.rowLetter = QStringLiteral("a");
        m_request.bookNo = QStringLiteral("3");
        m_request.bookName = QStringLiteral("Book");
        if (s.rewrite) {
            m_request.paragraphs = { ParagraphSlot { QStringLiteral("Old"), QStringLiteral("o"), {}, {}, {} } };
            writeBook(m_fs, m_request, false);
        }
        const QString pic = m_tp.write(QStringLiteral("in/photo.jpg"), QByteArray(3000, 'P'));
        const QString sound = m_tp.write(QStringLiteral("in/voice.mp3"), QByteArray(5000, 'S'));
        const QString film = m_tp.write(QStringLiteral("in/clip.avi"), QByteArray(70000, 'F'));
        m_request.imgList = QStringList(kInlinePictureCount);
        m_request.imgList[0] = m_tp.write(QStringLiteral("in/inline.gif"), QByteArray(2000, 'G'));
        m_request.paragraphs = {
            ParagraphSlot { markMain(), QStringLiteral("Group"), {}, {}, {} },
            ParagraphSlot { QStringLiteral("One"), QStringLiteral("text\r\n {0}"), pic, sound, film },
            ParagraphSlot { markEnd(), QStringLiteral("Group"), {}, {}, {} },
            ParagraphSlot { markShenas(), QStringLiteral("who"), {}, {}, {} },
            ParagraphSlot { QStringLiteral("Two"), QStringLiteral(" {0}\r\nmore"), {}, {}, film },
        };
    }

    QString root() const { return m_tp.file(QStringLiteral("Data")); }
    BookResult write() const
    {
        return writeBook(
            m_fs, m_request, QFileInfo::exists(root() + QStringLiteral("/_xml/aTitle3.xml")));
    }

    // What a whole book holds, told from the folder alone: the tree names
    // every page, each page and medium is there with the bytes it should have.
    QString wholeBookProblem() const
    {
        const QString tree = m_fs.readUnicode(root() + QStringLiteral("/_xml/aTitle3.xml"));
        const QStringList lines = tree.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QStringList pages;
        for (const QString &line : lines) {
            const qsizetype at = line.indexOf(QStringLiteral("DATA/BookTXT/"));
            if (at >= 0)
                pages << line.mid(at + 13, 18);
        }
        if (pages.size() != 3 || !tree.contains(QStringLiteral("mediaStatus=\"111\""))
            || tree.count(QStringLiteral("mediaStatus=\"001\"")) != 1)
            return QStringLiteral("tree: ") + tree;
        const QString txt = root() + QStringLiteral("/BookTXT/");
        const QString one = pages[0].chopped(4);
        const std::pair<QString, qint64> media[] = { { one + QStringLiteral(".jpg"), 3000 },
            { one + QStringLiteral(".mp3"), 5000 }, { one + QStringLiteral(".avi"), 70000 },
            { pages[2].chopped(4) + QStringLiteral(".avi"), 70000 } };
        for (const auto &[name, size] : media) {
            if (QFileInfo(txt + name).size() != size)
                return QStringLiteral("medium ") + name;
        }
        for (const QString &page : pages) {
            const QString text = m_fs.readUnicode(txt + page);
            if (!text.startsWith(QStringLiteral("<pgTitle>")) || text.contains(u'{'))
                return QStringLiteral("page ") + page + QStringLiteral(": ") + text;
        }
        if (QFileInfo(root() + QStringLiteral("/BookIMG/inline.gif")).size() != 2000)
            return QStringLiteral("inline picture");
        if (!m_fs.readUnicode(root() + QStringLiteral("/_xml/BookTitle.xml"))
                 .contains(QStringLiteral("<aBook3>Book</aBook3>")))
            return QStringLiteral("title line");
        return {};
    }

private:
    TempProgram m_tp { false };
    FileSystem m_fs;
    BookRequest m_request;
};

void arm(const QString &root, long failAt)
{
    const QByteArray r = QFileInfo(root).canonicalFilePath().toLocal8Bit();
    std::snprintf(g_root, sizeof g_root, "%s", r.constData());
    g_calls = 0;
    g_failAt = failAt;
    g_failed = false;
}

void disarm()
{
    g_root[0] = '\0';
    g_failAt = -1;
}

} // namespace

class TestBookWriterFaults : public QObject {
    Q_OBJECT
private slots:
    void everyWriteFailedInTurn_data();
    void everyWriteFailedInTurn();
};

void TestBookWriterFaults::everyWriteFailedInTurn_data()
{
    QTest::addColumn<int>("scenario");
    QTest::newRow("first book of the project") << 0;
    QTest::newRow("title list there") << 1;
    QTest::newRow("book written before") << 2;
}

void TestBookWriterFaults::everyWriteFailedInTurn()
{
    static const Scenario scenarios[] = {
        { "first", false, false }, { "list", true, false }, { "rewrite", true, true } };
    QFETCH(int, scenario);
    const Scenario &s = scenarios[scenario];

    // A clean run counts the points.
    long points = 0;
    {
        Project p(s);
        arm(p.root(), -1);
        p.write();
        points = g_calls;
        disarm();
        QCOMPARE(p.wholeBookProblem(), QString());
    }
    QVERIFY2(points > 20, qPrintable(QString::number(points)));

    int reportedMadeButIncomplete = 0;
    int failedButChanged = 0;
    int failedWithoutNamingTheFile = 0;
    for (long k = 1; k <= points; ++k) {
        Project p(s);
        const auto before = folderSnapshot(p.root());
        arm(p.root(), k);
        bool made = false;
        QString path;
        try {
            p.write();
            made = true;
        } catch (const FsError &e) {
            path = e.path();
        }
        disarm();
        QVERIFY2(g_failed, "the fault was not reached");
        if (made) {
            const QString problem = p.wholeBookProblem();
            if (!problem.isEmpty()) {
                ++reportedMadeButIncomplete;
                qWarning("point %ld: made, but %s", k, qPrintable(problem));
            }
            continue;
        }
        const QString diff = snapshotDifference(before, folderSnapshot(p.root()));
        if (!diff.isEmpty()) {
            ++failedButChanged;
            qWarning("point %ld: failed, left %s", k, qPrintable(diff));
        }
        if (!path.startsWith(p.root())) {
            ++failedWithoutNamingTheFile;
            qWarning("point %ld: failed naming %s", k, qPrintable(path));
        }
    }
    qInfo("%ld write points", points);
    QCOMPARE(reportedMadeButIncomplete, 0);
    QCOMPARE(failedButChanged, 0);
    QCOMPARE(failedWithoutNamingTheFile, 0);
}

QTEST_GUILESS_MAIN(TestBookWriterFaults)
#include "test_bookwriter_faults.moc"
