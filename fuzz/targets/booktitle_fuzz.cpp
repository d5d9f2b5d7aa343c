// BookTitle.xml: the book names by slot.
#include "fuzz_input.h"

#include "core/book/buildlayout.h"

#include <QRegularExpression>

int fuzzBookTitle(const uint8_t *data, size_t size)
{
    const QHash<QString, QString> names = zorvel::parseBookTitles(zorvel::fuzz::textOf(data, size));
    static const QRegularExpression slot(QStringLiteral("^[abc][0-9]+$"));
    for (auto it = names.begin(); it != names.end(); ++it)
        zorvel::fuzz::check(slot.match(it.key()).hasMatch());
    return 0;
}

ZORVEL_FUZZ_ENTRY(fuzzBookTitle)
