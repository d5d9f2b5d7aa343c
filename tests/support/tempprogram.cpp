#include "tempprogram.h"

#include "core/common/filesystem.h"
#include "support/copytree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zorvel::testing {

TempProgram::TempProgram(bool withResources)
{
    if (withResources)
        copyTree(QStringLiteral(ZORVEL_RESOURCES_DIR), file(QStringLiteral("Resources")));
}

QString TempProgram::file(const QString &relative) const
{
    return m_dir.path() + u'/' + relative;
}

QString TempProgram::write(const QString &relative, const QByteArray &bytes) const
{
    const QString target = file(relative);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile f(target);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write test file %s", qPrintable(target));
    return target;
}

QString TempProgram::mkdir(const QString &relative) const
{
    const QString target = file(relative);
    QDir().mkpath(target);
    return target;
}

QByteArray TempProgram::read(const QString &relative) const
{
    QFile f(file(relative));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool TempProgram::exists(const QString &relative) const
{
    return QFileInfo::exists(file(relative));
}

QByteArray utf16le(const QString &text, bool withMark)
{
    return toUtf16Le(text, withMark);
}

} // namespace zorvel::testing
