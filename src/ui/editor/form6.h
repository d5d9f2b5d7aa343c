#pragma once

#include "core/common/filesystem.h"

#include <QDialog>

#include <array>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace zorvel {

struct AppContext;
class RichTextBox;

// The paragraph editor: title, body and attachments of one slot of the
// workbench's table. The workbench owns the table and does the storing.
class Form6 : public QDialog {
    Q_OBJECT
public:
    explicit Form6(AppContext &ctx, QWidget *parent = nullptr);
    ~Form6() override;

    bool CHK();

    // Event handlers.
    void btn_Click(int index);
    void Command1_Click();
    void Command2_Click();
    void Command5_Click();
    void picB_Change();
    // The popup's item states for the current selection and clipboard.
    void preparePopup();
    void picM_Click();
    void copyM_Click();
    void cutM_Click();
    void pasteM_Click();
    void delM_Click();

    // Whether anything shown has been changed and not stored.
    bool hasUnsavedChanges() const;
    // The close box and Escape: with changes not stored, asked first.
    void reject() override;

    // Shows a picture file in Image1, scaled to fit; false when it cannot be read.
    bool showPicture(const QString &path);
    void clearPicture();

    FileSystem fso;

    QPushButton *btn[5];
    QLineEdit *bname;
    QLabel *Label3;
    RichTextBox *matn;
    QLineEdit *picB, *soutB, *filmB;
    QLabel *Label6, *Label1, *Label2;
    QPushButton *Command5, *Command1, *Command2;
    QLabel *Image1;
    // Says where a main title's name is edited; shown for main titles only.
    QLabel *mainHint;
    QAction *saveAction;
    QMenu *popM;
    QAction *picM, *copyM, *cutM, *pasteM, *delM;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    void browse(const QString &key, const QString &pattern);
    // What was shown, to tell an unsaved change from none.
    void rememberShown();
    void showMainHint(bool shown);

    QString m_shownTitle, m_shownPic, m_shownSound, m_shownFilm;

    AppContext &m_ctx;
};

// The inline picture template with its object numbered: every
// "\objw330\objh270" becomes "\objw330\I<n>\objh270".
QString numberedPictureObject(const QString &imgT, int n);

// A fixed tool window: a title and a close box, nothing to minimise or maximise.
Qt::WindowFlags editorWindowFlags();

// Where an inline picture goes: the caret moves to the end of the line
// before the one it is in (0 when it is in the first line).
int inlinePictureCaret(const QString &text, int caret);

} // namespace zorvel
