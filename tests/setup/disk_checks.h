#pragma once

// Helpers for the installer's safety tests: a listing of a folder tree with
// sizes and hashes, to prove what a run changed, and a full disk made with a
// file size limit.
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStringList>

#include <csignal>
#include <sys/resource.h>

namespace setup {

// Every entry under `root` by its relative path: "folder", "link -> target",
// or "<size> <sha256>". Links are listed, not followed.
inline QMap<QString, QString> treeListing(const QString &root)
{
    QMap<QString, QString> listing;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        const QString name = QDir(root).relativeFilePath(path);
        if (info.isSymLink()) {
            listing.insert(name, QStringLiteral("link -> ") + info.symLinkTarget());
        } else if (info.isDir()) {
            listing.insert(name, QStringLiteral("folder"));
        } else {
            QFile file(path);
            QByteArray hash = "<unreadable>";
            if (file.open(QIODevice::ReadOnly))
                hash = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
            listing.insert(name, QString::number(info.size()) + u' ' + QString::fromLatin1(hash));
        }
    }
    return listing;
}

// The entries of `listing` outside the folder `inner` (relative to the
// listing's root) and other than the files named in `except`.
inline QMap<QString, QString> listingOutside(
    QMap<QString, QString> listing, const QString &inner, const QStringList &except = {})
{
    for (auto it = listing.begin(); it != listing.end();) {
        const bool insideInner = it.key() == inner || it.key().startsWith(inner + u'/');
        if (insideInner || except.contains(it.key()))
            it = listing.erase(it);
        else
            ++it;
    }
    return listing;
}

// What differs between two listings, one line a path, for a failure message.
inline QString listingChanges(
    const QMap<QString, QString> &before, const QMap<QString, QString> &after)
{
    QStringList lines;
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (!after.contains(it.key()))
            lines << QStringLiteral("removed ") + it.key();
        else if (after.value(it.key()) != it.value())
            lines << QStringLiteral("changed ") + it.key();
    }
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (!before.contains(it.key()))
            lines << QStringLiteral("created ") + it.key();
    }
    return lines.join(u'\n');
}

// A full disk for as long as it lives: no file of this process grows past
// `bytes` (writes fail with EFBIG instead of raising SIGXFSZ). The earlier
// limit and signal handling come back when it goes, so other test cases are
// not touched; keep test assertions outside its life, since their output
// may go to a file too.
class FullDisk {
public:
    explicit FullDisk(rlim_t bytes)
    {
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        m_saved = getrlimit(RLIMIT_FSIZE, &m_earlier) == 0;
        rlimit limited = m_earlier;
        limited.rlim_cur = bytes;
        m_ok = m_saved && setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FullDisk()
    {
        if (m_ok)
            setrlimit(RLIMIT_FSIZE, &m_earlier);
        std::signal(SIGXFSZ, m_handler);
    }
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;
    bool active() const { return m_ok; }

private:
    rlimit m_earlier {};
    void (*m_handler)(int) = nullptr;
    bool m_saved = false;
    bool m_ok = false;
};

} // namespace setup
