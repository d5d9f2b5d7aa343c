#pragma once

#include <QPlainTextEdit>

namespace zorvel {

// The workbench's text box: a long plain input text, cut piece by piece. It
// offers what the workbench uses of RichTextBox, in the same units (a
// paragraph break is CR LF), with the selection's RTF as the rich box gives
// it. Its layout goes block by block and only as far as it is shown, so
// cutting a piece from the top of a 10 MB text takes a millisecond, where the
// rich box lays the rest of the text out again each time.
class PlainTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit PlainTextBox(QWidget *parent = nullptr);

    // Paragraphs joined by CR LF.
    QString Text() const;
    void setText(const QString &text); // CR LF, CR or LF split paragraphs

    int SelStart() const;
    void setSelStart(int position); // collapses the selection there
    int SelLength() const;
    void setSelLength(int length); // from SelStart

    QString SelText() const;
    void setSelText(const QString &text); // replaces the selection; caret after it
    QString SelRTF() const;

    // 0 left, 1 right, 2 centre, as shown on screen.
    int SelAlignment() const;
    // Every paragraph aligned, without selecting anything. A plain box aligns
    // its whole text as one: through the document's own alignment.
    void setAlignmentAll(int alignment);

    int textLength() const;
};

} // namespace zorvel
