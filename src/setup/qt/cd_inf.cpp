#include "cd_inf.h"

#include "core/cd_inf.h"
#include "core/files.h"
#include "core_text.h"
#include "text_files.h"

namespace setup {

static CdInf fromCore(const core::CdInf &values)
{
    return { qs(values.cdName), qs(values.defPath), qs(values.folderName), qs(values.runFile) };
}

static core::CdInf toCore(const CdInf &values)
{
    return { u8(values.cdName), u8(values.defPath), u8(values.folderName), u8(values.runFile) };
}

static CdInfReading fromCore(const core::CdInfReading &reading)
{
    CdInfReading result;
    result.values = fromCore(reading.values);
    result.missingMarker = qs(reading.missingMarker);
    return result;
}

std::optional<QString> sectionValue(const QStringList &lines, const QString &marker)
{
    std::vector<std::string> texts;
    for (const QString &line : lines)
        texts.push_back(u8(line));
    const std::optional<std::string> value = core::sectionValue(texts, u8(marker));
    if (!value)
        return std::nullopt;
    return qs(*value);
}

CdInfReading parseCdInf(const QString &text)
{
    return fromCore(core::parseCdInf(u8(text)));
}

QString unsafeSection(const CdInf &values)
{
    return qs(core::unsafeSection(toCore(values)));
}

QString sectionOf(const CdInf &values, const QString &marker)
{
    return qs(core::sectionOf(toCore(values), u8(marker)));
}

CdInfReading readCdInf(const QString &path)
{
    try {
        return fromCore(core::readCdInf(u8(path)));
    } catch (const core::FileError &error) {
        throw FileError(error);
    }
}

CdInfLoad loadCdInf(const QString &infPath)
{
    const core::CdInfLoad load = core::loadCdInf(u8(infPath));
    return { fromCore(load.values), qs(load.refusal) };
}

} // namespace setup
