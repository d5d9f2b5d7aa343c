// setup's cd.inf: parsed as setup reads it; a reading that passes the safety
// check names no folder or file outside the installation.
#include "fuzz_input.h"

#include "cd_inf.h"

#include <QRegularExpression>

int fuzzCdInf(const uint8_t *data, size_t size)
{
    const QString text = QString::fromLocal8Bit(zorvel::fuzz::bytesOf(data, size));
    const setup::CdInfReading reading = setup::parseCdInf(text);
    const QString unsafe = setup::unsafeSection(reading.values);
    if (unsafe.isEmpty()) {
        for (const QString *value : {&reading.values.cdName, &reading.values.folderName,
                 &reading.values.runFile})
            zorvel::fuzz::check(!value->split(QRegularExpression(QStringLiteral("[/\\\\]")))
                                     .contains(QStringLiteral("..")));
    }
    for (const QString &marker : {setup::markerCdName, setup::markerDefPath,
             setup::markerFolderName, setup::markerRunFile})
        setup::sectionOf(reading.values, marker);
    return 0;
}

ZORVEL_FUZZ_ENTRY(fuzzCdInf)
