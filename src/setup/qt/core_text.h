#pragma once

// Between Qt's strings and the core's UTF-8 ones.
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace setup {

inline std::string u8(const QString &text)
{
    return text.toStdString();
}

inline QString qs(const std::string &text)
{
    return QString::fromStdString(text);
}

inline QStringList qsList(const std::vector<std::string> &texts)
{
    QStringList list;
    list.reserve(qsizetype(texts.size()));
    for (const std::string &text : texts)
        list.append(qs(text));
    return list;
}

} // namespace setup
