#pragma once

#include "core/messages.h"

#include <QString>

namespace setup {

class FileError;

// The installer's own message texts (plain boxes titled messageTitle).
inline const QString messageTitle = QString::fromLatin1(core::messageTitle);

QString cdInfMissingText(const QString &infPath);
QString cdInfUnreadableText(const FileError &error);
QString sectionMissingText(const QString &infPath, const QString &marker);
// A cd.inf value that would lead out of its folder; `marker` names the section.
QString unsafeSectionText(const QString &infPath, const QString &marker, const QString &value);
QString sourceMissingText(const QString &sourceFolder);
QString sourceOutsideText(const QString &sourceFolder, const QString &cdFolder);
QString copyFailedText(const FileError &error);
QString programMissingText(const QString &program);
QString markerFailedText(const FileError &error);
// A failed installation: what went wrong, what was done about the files
// copied so far, and how to go on.
QString installFailedText(const QString &problem, const QString &leftover);
QString removedFolderText(const QString &folder);
QString keptFolderText(const QString &folder);
QString notRemovedText(const QString &folder);
QString startFailedText(const QString &program);

} // namespace setup
