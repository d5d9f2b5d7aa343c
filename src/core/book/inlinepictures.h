#pragma once

#include <QString>
#include <QStringList>

class QTextDocument;

namespace zorvel {

// The number an inline picture object carries as its \I<n> word, or -1.
int inlinePictureNumber(const QString &objectRtf);

// Shows each numbered picture object of the document as the picture its
// number stands for (`paths`, by number), scaled into the object's size,
// in place of the template's icon. Only what is shown changes: the objects,
// and so the document's RTF, stay as they are. Returns how many are shown.
int showInlinePictures(QTextDocument *document, const QStringList &paths);

} // namespace zorvel
