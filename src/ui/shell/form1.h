#pragma once

#include "core/common/filesystem.h"
#include "core/project/pickerstart.h"
#include "ui/common/windowlinks.h"

#include <QWidget>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace zorvel {

struct AppContext;
class Form2;
class Form5;

// The main window: one project's settings, the book picker, and the commands
// Next, Export and Help.
class Form1 : public QWidget, public MainWindowLink {
    Q_OBJECT
public:
    explicit Form1(AppContext &ctx, QWidget *parent = nullptr);
    ~Form1() override;

    // Shared with the other windows.
    void bepayam(qint16 code);
    void upd();
    static QString DoSlash(const QString &iPa);
    bool CHK();
    void ReadSett();
    // False when the settings file was not written; `complete` tells whether
    // every media copy was made too.
    bool SaveThings(bool *complete = nullptr);
    void MakeCombo();
    bool FE();
    void MakeDirs();
    void Doit();
    // Beside this window, or at least clear of the book picker.
    void placeWorkbench(QWidget &workbench);
    // The export; `withImage` also writes its disc image "Export n.iso".
    void ExportAll(bool withImage = false);
    // What "خروجي" checks and saves before the export; false when it stops.
    bool prepareExport();
    // How long a quick export runs before its progress window shows.
    int exportProgressDelayMs = 400;
    QString Radi(qint16 ora) const;

    // Event handlers.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();
    void Command10_Click();
    void CommandEpub_Click(); // the EPUB export, on Command10's right-click menu
    void CommandIso_Click(); // the export and its disc image, on the same menu
    void Timer1_Timer();

    // The pickers, created on first use.
    Form2 *form2();
    Form5 *form5();
    // What a requester other than the main window does before showing the
    // file picker (the editor, the workbench's picture insertion).
    void prepareFilePicker(const QString &key, const QString &pattern);

    // What the workbench and the editor ask of this window.
    QString buildFolderText() const override;
    QComboBox *bookPicker() const override;
    void rebuildBookPicker() override;
    void chooseFile(const QString &key, const QString &pattern) override;
    void minimiseWithWorkbench() override;

    QString wdir; // requester key of the last picker request
    FileSystem fso;
    QString txtDir;
    QString xmlDir;

    QLabel *Picture1;
    QGroupBox *Frame1;
    QLabel *Label2, *Label3, *Label4, *Label7, *Label8;
    QLineEdit *title, *matn, *shenas;
    QLineEdit *Text1, *idir;
    QPushButton *Command9, *Command2;
    QFrame *Frame2;
    QLabel *Label9;
    QComboBox *dataName;
    QLabel *Label6;
    QLineEdit *index;
    QPushButton *Command5;
    QFrame *Frame3;
    QFrame *Frame4;
    QRadioButton *bMus[2];
    QLabel *Label1, *Label10;
    QLineEdit *Mus1, *Mus2;
    QPushButton *Command6, *Command7;
    QFrame *Frame5;
    QLabel *Label11;
    QRadioButton *Olgoo[2];
    QLabel *Label14;
    QLineEdit *Back;
    QPushButton *Command8;
    QFrame *Frame6;
    QCheckBox *Pcheck;
    QLabel *Label5;
    QLineEdit *ExBox;
    QPushButton *Command1;
    QPushButton *Command4, *Command3, *Command10;
    QAction *CommandEpub = nullptr;
    QAction *CommandIso = nullptr;
    QLabel *Picture2, *Picture3, *Picture4, *Picture5, *Picture6;
    QTimer *Timer1;

    // The build folder as the program uses it: relative texts are taken
    // under the program folder.
    QString buildFolder() const;

signals:
    // The main window was closed: the whole program ends.
    void shutdown();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void nameControls();
    void fitBookListWidth();
    void addEpubCommand();
    void applyMusicRule();
    void applyRowCountRule(QLineEdit *field);
    void applyAbsolutePathRule(QLineEdit *field);
    // The build folder field was set or the operator has finished with it:
    // another existing folder's settings are read, and the picker follows.
    void buildFolderCommitted();
    bool countsChangedSinceCombo() const;
    void prepareFolderPicker(const QString &key);
    // The field a requester key writes into, if it is one of a window's fields.
    QLineEdit *requesterField(const QString &key) const;
    QString pickerStart(const QString &key, bool folderField) const;
    PickerMemory m_pickerMemory;
    void requestFolder(const QString &key);
    void requestFile(const QString &key, const QString &pattern);
    QString fieldPath(const QLineEdit *field) const;

    AppContext &m_ctx;
    Form2 *m_form2 = nullptr;
    Form5 *m_form5 = nullptr;
    QButtonGroup *m_musicGroup;
    QButtonGroup *m_templateGroup;
    QString m_committedFolder; // the build folder the fields were last read for
    int m_comboCounts[3] = {-1, -1, -1}; // the row counts the picker was built from
};

// A row count text the main window keeps: its whole part lies in 1..10.
bool rowCountAcceptable(const QString &text);

} // namespace zorvel
