#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace zorvel::testing {

// A throw-away program folder: Resources copied from the source tree, an
// empty input-texts folder and nothing else. Removed when it goes out of scope.
class TempProgram {
public:
    explicit TempProgram(bool withResources = true);

    QString path() const { return m_dir.path(); }
    QString file(const QString &relative) const; // path() + "/" + relative

    // Writes bytes to path()/relative, creating folders on the way.
    QString write(const QString &relative, const QByteArray &bytes) const;
    QString mkdir(const QString &relative) const;
    QByteArray read(const QString &relative) const;
    bool exists(const QString &relative) const;

private:
    QTemporaryDir m_dir;
};

// UTF-16 LE bytes of a text, with or without the FF FE mark.
QByteArray utf16le(const QString &text, bool withMark = true);

} // namespace zorvel::testing
