#include "cd_inf.h"

#include "install_paths.h"
#include "text_files.h"

namespace setup {

std::optional<QString> sectionValue(const QStringList &lines, const QString &marker)
{
    const qsizetype at = lines.indexOf(marker);
    if (at < 0 || at + 1 >= lines.size())
        return std::nullopt;
    return lines.at(at + 1);
}

CdInfReading parseCdInf(const QString &text)
{
    const QStringList lines = splitLines(text);
    CdInfReading reading;
    const struct {
        const QString &marker;
        QString CdInf::*field;
    } sections[] = {
        { markerCdName, &CdInf::cdName },
        { markerDefPath, &CdInf::defPath },
        { markerFolderName, &CdInf::folderName },
        { markerRunFile, &CdInf::runFile },
    };
    for (const auto &section : sections) {
        const std::optional<QString> value = sectionValue(lines, section.marker);
        if (!value) {
            if (reading.missingMarker.isEmpty())
                reading.missingMarker = section.marker;
            continue;
        }
        reading.values.*section.field = *value;
    }
    return reading;
}

QString unsafeSection(const CdInf &values)
{
    if (!isSingleFolderName(values.cdName))
        return markerCdName;
    if (!staysInside(values.folderName))
        return markerFolderName;
    if (!values.runFile.isEmpty() && !staysInside(values.runFile))
        return markerRunFile;
    return QString();
}

QString sectionOf(const CdInf &values, const QString &marker)
{
    if (marker == markerCdName)
        return values.cdName;
    if (marker == markerDefPath)
        return values.defPath;
    if (marker == markerFolderName)
        return values.folderName;
    if (marker == markerRunFile)
        return values.runFile;
    return QString();
}

CdInfReading readCdInf(const QString &path)
{
    return parseCdInf(readSystem8bit(path));
}

} // namespace setup
