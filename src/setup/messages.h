#pragma once

#include <QString>

namespace setup {

class FileError;

// The installer's own message texts (plain boxes titled messageTitle).
inline const QString messageTitle = QStringLiteral("Error!");

QString cdInfMissingText(const QString &infPath);
QString cdInfUnreadableText(const FileError &error);
QString sectionMissingText(const QString &infPath, const QString &marker);
QString sourceMissingText(const QString &sourceFolder);
QString copyFailedText(const FileError &error);
QString programMissingText(const QString &program);
QString markerFailedText(const FileError &error);
QString startFailedText(const QString &program);

} // namespace setup
