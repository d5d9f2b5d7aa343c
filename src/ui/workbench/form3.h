#pragma once

#include "core/book/bookhistory.h"
#include "core/book/paragraphtable.h"
#include "core/book/titlesuggest.h"
#include "core/book/textedit.h"
#include "core/common/filesystem.h"
#include "ui/common/windowlinks.h"
#include "ui/richtext/plaintextbox.h"

#include <QWidget>

#include <functional>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QAction;
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

    // Asked for a main title's name when nothing is selected.
    static QString mainTitlePrompt();

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

    // The book's history (Ctrl+Z; Ctrl+Shift+Z or Ctrl+Y), wherever the
    // keyboard is in the workbench. The saved work follows each step.
    void undoStep();
    void redoStep();
    const BookHistory &history() const { return m_history; }

    // The raw text left, as the saved work keeps it.
    const WorkText &workText() const { return m_workText; }

    QLabel *Counter; // slots in use: "۱۲ از ۲۵۷"
    // The shortcuts: the marking commands by Com index, then undo and redo.
    QAction *comAction[12] = {};
    QAction *undoAction = nullptr;
    QAction *redoAction = nullptr;

    // ---- Manuscripts and suggested titles (form3_import.cpp, form3_suggest.cpp) ----
    // A .docx or .odt input text chosen in books: its headings marked in the
    // table as one step, its pictures kept in Work/<slot>.media.
    void loadManuscript(const QString &path);
    // "پيشنهاد عنوانها" (Ctrl+G): the lines of matn that look like titles,
    // highlighted there.
    void SuggestTitles();
    // Ctrl+Enter: the first suggestion marked as a title, the text up to the
    // next one as its related text. Ctrl+Shift+Enter: all of them, one step.
    void takeSuggestion();
    void takeAllSuggestions();
    const QList<TitleCandidate> &suggestions() const { return m_suggestions; }
    QAction *suggestAction = nullptr;
    QAction *takeAction = nullptr;
    QAction *takeAllAction = nullptr;

private:
    void buildSuggestionCommands();
    void showSuggestions();
    // Marks the pieces (all with a related text) as hand marks do; with
    // Chek their spans leave matn.
    void markPieces(const QList<SuggestedPiece> &pieces);
    QString manuscriptMediaFolder() const;
    QList<TitleCandidate> m_suggestions;
    bool m_suggestionEdit = false; // matn changed by a suggestion taken
    // ---- end of manuscripts and suggested titles ----

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // form3_history.cpp
    void buildHistory();
    BookState captureState() const;
    void applyState(const BookState &state);
    // A text shown by the program, not edited: the history starts afresh,
    // and the text is kept in the saved work when `keep` says so.
    void showText(const QString &text, bool keep);
    void matnChanged(int position, int removed, int added);
    void bookNameTyped(const QString &text);
    void afterStep(int rowsBefore);
    void updateCounter();
    void saveTextBase();
    // The input text's name, size and time when it was shown.
    void stampInputText(const QString &name);
    // form3_keys.cpp
    void buildShortcuts();
    bool keyFilter(QObject *watched, QKeyEvent *key);
    bool isWorkbenchShortcut(const QKeyEvent *key) const;

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
    qint64 m_inputSize = -1;
    qint64 m_inputModified = -1;
    bool m_workSaveFailed = false;
    BookHistory m_history;
    WorkText m_workText;
    bool m_keepText = false;   // the text shown is an input text's, kept in the saved work
    int m_stepDepth = 0;       // inside commitStep
    QList<TextEdit> m_stepEdits; // the text's edits made by the step running
    bool m_replaying = false;  // undo or redo putting the text back
    bool m_showingText = false;
    QString m_lastBookName;
    bool m_nearFullWarned = false;
    QTimer *m_caretSave = nullptr; // the caret is saved a moment after it stops
    // Design sizes recorded at load, for resizing.
    QSize m_designSize;
    QSize m_designMatn;
    int m_designBooksLeft = 0, m_designLabel3Left = 0, m_designLabel1Left = 0;
    int m_designComLeft[12] = {};
    int m_designBindexWidth = 0, m_designFrame1Width = 0, m_designFrame2Width = 0;
};

} // namespace zorvel
