// CDProperty.xml, the project settings: decoded as the program decodes the
// file's bytes, then read; what is read is written and read back the same.
#include "fuzz_input.h"

#include "core/project/settings.h"

int fuzzCdProperty(const uint8_t *data, size_t size)
{
    const QString text = zorvel::decodeSettingsText(zorvel::fuzz::bytesOf(data, size));
    const auto settings = zorvel::parseSettingsText(text);
    if (settings) {
        const auto again = zorvel::parseSettingsText(zorvel::buildSettingsText(*settings));
        zorvel::fuzz::check(again.has_value()
            && zorvel::buildSettingsText(*again) == zorvel::buildSettingsText(*settings));
    }
    return 0;
}

ZORVEL_FUZZ_ENTRY(fuzzCdProperty)
