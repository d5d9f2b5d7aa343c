#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace zorvel {

// Text in the XML and HTML the program writes and reads: one escaper for
// every file (tree files, the title list, pages' readers, the e-books).

// & < > " as entities; characters XML 1.0 does not allow (controls other than
// TAB CR LF, non-characters, lone surrogates) dropped.
void appendXmlEscaped(QString &out, QStringView text);
QString xmlEscaped(const QString &text);

// &amp; &lt; &gt; &quot; &apos; and numeric references back to characters;
// anything else, a lone "&" included, stays as it is.
QString unescapeXml(const QString &text);

// The text between the first opening tag <wht> and the first closing tag
// </wht> of oip; empty when there is no opening tag. nullopt when the
// closing tag is missing or stands before the end of the opening tag.
std::optional<QString> elementText(const QString &oip, const QString &wht);

} // namespace zorvel
