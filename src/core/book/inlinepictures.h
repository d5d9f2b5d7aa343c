#pragma once

#include <QString>
#include <QStringList>

class QTextDocument;

namespace zorvel {

// The number an inline picture object carries as its \I<n> word, or -1.
int inlinePictureNumber(const QString &objectRtf);

// The inline picture template (Resources/img.bin) numbered n: its \I<n>
// word after \objw330, as the editor places a picture.
QString numberedPictureTemplate(const QString &imgT, int n);

// The embedded object group of the numbered template, to stand inside a
// paragraph of RTF; empty when the template holds none.
QString inlinePictureGroup(const QString &imgT, int n);

// Shows each numbered picture object of the document as the picture its
// number stands for (`paths`, by number), scaled into the object's size,
// in place of the template's icon. Only what is shown changes: the objects,
// and so the document's RTF, stay as they are. Returns how many are shown.
int showInlinePictures(QTextDocument *document, const QStringList &paths);

} // namespace zorvel
