#include "cd_inf.h"

#include "files.h"
#include "messages.h"
#include "paths.h"
#include "text.h"

#include <algorithm>

namespace setup::core {

std::optional<std::string> sectionValue(
    const std::vector<std::string> &lines, const std::string &marker)
{
    const auto at = std::find(lines.begin(), lines.end(), marker);
    if (at == lines.end() || at + 1 == lines.end())
        return std::nullopt;
    return *(at + 1);
}

CdInfReading parseCdInf(const std::string &text)
{
    const std::vector<std::string> lines = splitLines(text);
    CdInfReading reading;
    const struct {
        const char *marker;
        std::string CdInf::*field;
    } sections[] = {
        { markerCdName, &CdInf::cdName },
        { markerDefPath, &CdInf::defPath },
        { markerFolderName, &CdInf::folderName },
        { markerRunFile, &CdInf::runFile },
    };
    for (const auto &section : sections) {
        const std::optional<std::string> value = sectionValue(lines, section.marker);
        if (!value) {
            if (reading.missingMarker.empty())
                reading.missingMarker = section.marker;
            continue;
        }
        reading.values.*section.field = *value;
    }
    return reading;
}

std::string unsafeSection(const CdInf &values)
{
    if (!isSingleFolderName(values.cdName))
        return markerCdName;
    if (!staysInside(values.folderName))
        return markerFolderName;
    if (!values.runFile.empty() && !staysInside(values.runFile))
        return markerRunFile;
    return std::string();
}

std::string sectionOf(const CdInf &values, const std::string &marker)
{
    if (marker == markerCdName)
        return values.cdName;
    if (marker == markerDefPath)
        return values.defPath;
    if (marker == markerFolderName)
        return values.folderName;
    if (marker == markerRunFile)
        return values.runFile;
    return std::string();
}

CdInfReading readCdInf(const std::string &path)
{
    return parseCdInf(decode8bit(readFile(path)));
}

CdInfLoad loadCdInf(const std::string &infPath)
{
    CdInfLoad load;
    if (!fileExists(infPath)) {
        load.refusal = cdInfMissingText(infPath);
        return load;
    }
    CdInfReading reading;
    try {
        reading = readCdInf(infPath);
    } catch (const FileError &error) {
        load.refusal = cdInfUnreadableText(error);
        return load;
    }
    if (!reading.complete()) {
        load.refusal = sectionMissingText(infPath, reading.missingMarker);
        return load;
    }
    // A CD Name with a path in it would read a marker from elsewhere and
    // start what it names, so this comes before any marker is looked at.
    const std::string unsafe = unsafeSection(reading.values);
    if (!unsafe.empty()) {
        load.refusal = unsafeSectionText(infPath, unsafe, sectionOf(reading.values, unsafe));
        return load;
    }
    load.values = reading.values;
    return load;
}

} // namespace setup::core
