#pragma once

#include <QTextEdit>

namespace zorvel {

// The rich-text box of the windows. Positions and lengths count in the units
// of Text(): a paragraph break is the two characters CR LF, an embedded
// object one character (it reads as a space).
class RichTextBox : public QTextEdit {
    Q_OBJECT
public:
    explicit RichTextBox(QWidget *parent = nullptr);

    // Paragraphs joined by CR LF; a line break inside a paragraph reads as LF,
    // an embedded object as one space.
    QString Text() const;
    void setText(const QString &text); // CR LF, CR or LF split paragraphs

    QString TextRTF() const;
    // Text that is not RTF is shown as plain text. The content arrives in a
    // new document(): connect to the box's signals, not the document's.
    void setTextRTF(const QString &rtf);

    int SelStart() const;
    void setSelStart(int position); // collapses the selection there
    int SelLength() const;
    void setSelLength(int length); // from SelStart

    QString SelText() const;
    void setSelText(const QString &text); // replaces the selection; caret after it

    QString SelRTF() const;
    void setSelRTF(const QString &rtf); // replaces the selection by the parsed RTF

    // 0 left, 1 right, 2 centre, as shown on screen.
    int SelAlignment() const;
    void setSelAlignment(int alignment);

    // Every paragraph aligned (as SelAlignment), without selecting anything:
    // selecting a whole large text in a shown box lays all of it out.
    void setAlignmentAll(int alignment);

    // An RTF file; false (and the box unchanged) when it cannot be read.
    bool LoadFile(const QString &path);

    // Between text units and document positions.
    int textLength() const;
    int toTextPosition(int documentPosition) const;
    int toDocumentPosition(int textPosition) const;
};

} // namespace zorvel
