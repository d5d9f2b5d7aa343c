#pragma once

#include "common/filesystem.h"
#include "workbench/paragraphtable.h"

#include <QWidget>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace zorvel {

struct AppContext;
class Form6;
class RichTextBox;

// The text workbench: a raw input text is cut into the pieces of one book.
class Form3 : public QWidget {
    Q_OBJECT
public:
    explicit Form3(AppContext &ctx, QWidget *parent = nullptr);
    ~Form3() override;

    // Shared with the writer and the paragraph editor.
    static QString DoSlash(const QString &iPa);
    static QString BeBor(const QString &mata, qint16 tam);
    static QString ToTXT(const QString &inTe);
    static QString Rep(const QString &mata);
    void Mright();
    void IndexEmpty();
    void ResetA();
    qint16 FileList();
    void NameNevis();

    // Event handlers.
    void books_Click();
    void Com_Click(int index);
    void bindex_MouseUp();
    void Timer1_Timer();

    // The paragraph editor's side (it works on slot parIndex).
    void ShowEdit(Form6 &editor);
    void DoEdit(Form6 &editor);
    void Ohazf(Form6 &editor);
    void DoIMG(Form6 &editor);

    void MakeBook();

    ParagraphTable table;
    qint16 parIndex = -1;
    QString ImgT;  // inline picture template
    QString InIMG; // the picture chosen for an inline picture
    QString rowLetter;
    QString bookNo;
    FileSystem fso;

    // Names used by the writer and the editor.
    QString txtDir, xmlDir, titleFile, tagTitle, tagMain, tagShenas, pageExt, creditLine;

    RichTextBox *matn;
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

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    void Form_Resize();
    void reportRefusedMark(ParagraphTable::Mark mark);
    void openEditor();
    QString inputFolder() const;

    AppContext &m_ctx;
    // Design sizes recorded at load, for resizing.
    QSize m_designSize;
    QSize m_designMatn;
    int m_designBooksLeft = 0, m_designLabel3Left = 0, m_designLabel1Left = 0;
    int m_designComLeft[12] = {};
    int m_designBindexWidth = 0, m_designFrame1Width = 0, m_designFrame2Width = 0;
};

} // namespace zorvel
