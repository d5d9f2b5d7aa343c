#pragma once

#include "core/book/paragraphtable.h"
#include "core/common/filesystem.h"
#include "ui/common/windowlinks.h"
#include "ui/richtext/plaintextbox.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace zorvel {

struct AppContext;
struct BookWork;
class Form6;
class RichTextBox;

// The text workbench: a raw input text is cut into the pieces of one book.
class Form3 : public QWidget, public EditorHost {
    Q_OBJECT
public:
    explicit Form3(AppContext &ctx, QWidget *parent = nullptr);
    ~Form3() override;
    void Mright();
    void IndexEmpty();
    void ResetA();
    qint16 FileList();
    void NameNevis();

    // Opens the workbench for the book the main window's picker names (Next).
    // That book, and the build folder, stay the workbench's until the next
    // Next; the input texts are listed again, and saved work on the book is
    // offered to go on with. Another book's marks stay in its own saved work.
    void openForBook(const QString &buildFolder);
    const QString &buildFolder() const { return m_buildFolder; }

    // Event handlers.
    void books_Click();
    void Com_Click(int index);
    void bindex_MouseUp();
    void Timer1_Timer();

    // The paragraph editor's side (it works on slot parIndex).
    void ShowEdit(Form6 &editor) override;
    void DoEdit(Form6 &editor) override;
    void Ohazf(Form6 &editor) override;
    void DoIMG(Form6 &editor) override;

    // True when the book was written.
    bool MakeBook();

    ParagraphTable table;
    qint16 parIndex = -1;
    QString ImgT;  // inline picture template
    QString InIMG; // the picture chosen for an inline picture
    QString rowLetter;
    QString bookNo;
    FileSystem fso;

    PlainTextBox *matn; // a long plain input text: the box that stays quick with one
    RichTextBox *ConRT;
    QListWidget *books;
    QLabel *Label1;
    QFrame *Frame2;
    QLineEdit *bname;
    QLabel *Label2;
    QLabel *BookLabel;
    QLabel *Label3;
    QListWidget *bindex;
    QFrame *Frame1;
    QPushButton *Com[12];
    QCheckBox *Chek;
    QTimer *Timer1;

    // The row at which the index list shows a table change.
    void syncIndex();

    // Saves the work on the book after a change (Work/<slot>.json in the
    // build folder), or removes it when nothing is left of it.
    void saveWork();

    // One change made by a command (a mark, a delete, an import, a suggestion
    // taken): runs `change`, then brings the index and the saved work up to
    // date. Every command that changes the table, the book name or matn goes
    // through here, so that it is one step of the book's history.
    void commitStep(const QString &label, const std::function<void()> &change);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildControls();
    void nameControls();
    void Form_Load();
    void Form_Resize();
    void reportRefusedMark(ParagraphTable::Mark mark);
    // Asked before a mark takes the slot of a pending title that has content.
    bool mayReplacePendingTitle();
    void updateMainCaption();
    void offerSavedWork();
    void startAfresh();
    bool restoreWork(const BookWork &work);
    BookWork currentWork() const;
    QString workFile() const;
    bool pickerOffersBook() const;
    void openEditor();
    // Replaces each chosen medium by its copy in the book's media folder;
    // false (and said) when a copy fails.
    bool adoptMedia(QString *paths, int count);
    QString inputFolder() const;

    AppContext &m_ctx;
    QString m_buildFolder; // where this book is written, fixed by Next
    QString m_inputText;   // the input text shown, by name
    bool m_workSaveFailed = false;
    // Design sizes recorded at load, for resizing.
    QSize m_designSize;
    QSize m_designMatn;
    int m_designBooksLeft = 0, m_designLabel3Left = 0, m_designLabel1Left = 0;
    int m_designComLeft[12] = {};
    int m_designBindexWidth = 0, m_designFrame1Width = 0, m_designFrame2Width = 0;
};

} // namespace zorvel
