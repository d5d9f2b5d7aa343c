// Saved work (Work/<slot>.json): whatever is accepted is written back the same.
#include "fuzz_input.h"

#include "core/book/savedwork.h"

int fuzzSavedWork(const uint8_t *data, size_t size)
{
    const auto work = zorvel::workFromJson(zorvel::fuzz::bytesOf(data, size));
    if (work) {
        const auto again = zorvel::workFromJson(zorvel::workToJson(*work));
        zorvel::fuzz::check(again.has_value() && *again == *work);
        zorvel::BookWork refused = *work;
        zorvel::refuseForeignMedia(refused, {QStringLiteral("/build")});
    }
    return 0;
}

ZORVEL_FUZZ_ENTRY(fuzzSavedWork)
