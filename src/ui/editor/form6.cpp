#include "ui/editor/form6.h"

#include "core/book/inlinepictures.h"
#include "core/book/paragraphslot.h"
#include "core/common/paths.h"
#include "ui/common/appcontext.h"
#include "ui/common/operator.h"
#include "ui/common/uistyle.h"
#include "ui/common/windowlinks.h"
#include "ui/richtext/richtextbox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace zorvel {

namespace {

// The design body: "متن كتاب پاراگراف" in Tahoma, 10 points, right to left.
const char kDesignBody[] =
    "{\\rtf1\\ansi\\ansicpg1256\\deff0{\\fonttbl{\\f0\\fnil\\fcharset178 Tahoma;}}"
    "\\pard\\rtlpar\\qr\\lang1065\\f0\\fs20 \\'e3\\'ca\\'e4 \\'df\\'ca\\'c7\\'c8 "
    "\\'81\\'c7\\'d1\\'c7\\'90\\'d1\\'c7\\'dd\\par}";

} // namespace

QString numberedPictureObject(const QString &imgT, int n)
{
    return numberedPictureTemplate(imgT, n);
}

Qt::WindowFlags editorWindowFlags()
{
    return Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
}

int inlinePictureCaret(const QString &text, int caret)
{
    const qsizetype before = text.left(caret).lastIndexOf(QStringLiteral("\r\n"));
    return before < 0 ? 0 : static_cast<int>(before);
}

Form6::Form6(AppContext &ctx, QWidget *parent)
    // Without CustomizeWindowHint the hints are ignored and the system adds
    // minimise and maximise buttons to the fixed window.
    : QDialog(parent, editorWindowFlags())
    , m_ctx(ctx)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Edit paragraph"));
    setLayoutDirection(Qt::RightToLeft);
    applyFormFont(this);
    initArtwork();
    buildControls();
    m_ctx.form6 = this;
    Form_Load();
}

Form6::~Form6()
{
    if (m_ctx.form6 == this)
        m_ctx.form6 = nullptr;
}

void Form6::buildControls()
{
    setFixedSize(tw(9645), tw(8745));
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    const QString captions[5] = {
        QStringLiteral(u"حذف كامل پاراگراف از كتاب"), QStringLiteral(u"حذف تصوير متصل"),
        QStringLiteral(u"حذف صوت متصل"), QStringLiteral(u"حذف فيلم متصل"),
        QStringLiteral(u"ثبت تغييرات ايجاد شده در عنوان، متن و ضمائم پاراگراف")};
    for (int i = 0; i < 5; ++i) {
        btn[i] = new QPushButton(captions[i], this);
        btn[i]->setAutoDefault(false);
        connect(btn[i], &QPushButton::clicked, this, [this, i] { btn_Click(i); });
    }
    btn[0]->setGeometry(twipsRect(75, 150, 2655, 390));
    btn[4]->setGeometry(twipsRect(2025, 8265, 5610, 390));
    saveAction = new QAction(this);
    saveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    saveAction->setShortcutContext(Qt::WindowShortcut);
    addAction(saveAction);
    connect(saveAction, &QAction::triggered, this, [this] { btn_Click(4); });
    btn[4]->setToolTip(btn[4]->text() + QStringLiteral(" (")
                       + saveAction->shortcut().toString(QKeySequence::NativeText)
                       + QStringLiteral(u")\u200F"));

    bname = new QLineEdit(this);
    bname->setGeometry(twipsRect(2910, 195, 5505, 330));
    Label3 = new QLabel(QStringLiteral(u"عنوان فهرست:"), this);
    Label3->setGeometry(twipsRect(8460, 240, 1110, 300));
    Label3->setAlignment(Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter);

    mainHint = new QLabel(QStringLiteral(u"نام اين عنوان اصلي همان متن زير است؛ آن را در كادر متن ويرايش كنيد."),
                          this);
    mainHint->setGeometry(twipsRect(75, 660, 9495, 300));
    mainHint->setAlignment(Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter);
    mainHint->setAutoFillBackground(true);
    QPalette hint = mainHint->palette();
    hint.setColor(QPalette::Window, QColor(0xf4, 0xe3, 0xb5));
    mainHint->setPalette(hint);
    mainHint->hide();
    matn = new RichTextBox(this);
    matn->setGeometry(twipsRect(75, 660, 9495, 5895));
    matn->setTextRTF(QString::fromLatin1(kDesignBody));
    matn->setContextMenuPolicy(Qt::NoContextMenu);
    matn->viewport()->installEventFilter(this);

    const int tops[3] = {6660, 7170, 7680};
    const QString labels[3] = {QStringLiteral(u"تصوير متصل به پاراگراف:"),
                               QStringLiteral(u"صوت متصل به پاراگراف:"),
                               QStringLiteral(u"فيلم متصل به پاراگراف:")};
    const QString icons[3] = {QStringLiteral(":/art/browse_picture.png"),
                              QStringLiteral(":/art/browse_sound.png"),
                              QStringLiteral(":/art/browse_film.png")};
    QLineEdit *fields[3];
    QLabel *heads[3];
    QPushButton *browse[3];
    for (int r = 0; r < 3; ++r) {
        btn[r + 1]->setGeometry(twipsRect(7665, tops[r], 1890, 390));
        heads[r] = new QLabel(labels[r], this);
        heads[r]->setGeometry(twipsRect(5580, tops[r], 2055, 390));
        heads[r]->setAlignment(Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter);
        fields[r] = new QLineEdit(this);
        fields[r]->setGeometry(twipsRect(3045, tops[r] + 15, 2490, 345));
        fields[r]->installEventFilter(this);
        browse[r] = new QPushButton(this);
        browse[r]->setGeometry(twipsRect(2565, tops[r] + 15, 420, 345));
        browse[r]->setIcon(QIcon(icons[r]));
        browse[r]->setIconSize(QSize(20, 16));
        browse[r]->setAutoDefault(false);
    }
    picB = fields[0];
    soutB = fields[1];
    filmB = fields[2];
    Label6 = heads[0];
    Label1 = heads[1];
    Label2 = heads[2];
    Command5 = browse[0];
    Command1 = browse[1];
    Command2 = browse[2];

    Image1 = new QLabel(this);
    Image1->setGeometry(twipsRect(75, 6645, 2370, 1545));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setFrameShape(QFrame::StyledPanel);

    popM = new QMenu(this);
    picM = popM->addAction(QStringLiteral(u"درج تصوير در متن"));
    popM->addSeparator();
    copyM = popM->addAction(QStringLiteral(u"كپي متن"));
    cutM = popM->addAction(QStringLiteral(u"برش متن"));
    pasteM = popM->addAction(QStringLiteral(u"چسباندن متن"));
    delM = popM->addAction(QStringLiteral(u"حذف متن"));

    connect(Command5, &QPushButton::clicked, this, &Form6::Command5_Click);
    connect(Command1, &QPushButton::clicked, this, &Form6::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form6::Command2_Click);
    connect(picB, &QLineEdit::textChanged, this, &Form6::picB_Change);
    connect(picM, &QAction::triggered, this, &Form6::picM_Click);
    connect(copyM, &QAction::triggered, this, &Form6::copyM_Click);
    connect(cutM, &QAction::triggered, this, &Form6::cutM_Click);
    connect(pasteM, &QAction::triggered, this, &Form6::pasteM_Click);
    connect(delM, &QAction::triggered, this, &Form6::delM_Click);

    rightToLeftContextMenus({bname, picB, soutB, filmB});
    nameAfterLabel(bname, Label3);
    nameAfterLabel(picB, Label6);
    nameAfterLabel(soutB, Label1);
    nameAfterLabel(filmB, Label2);
    for (QLineEdit *path : {picB, soutB, filmB})
        showPathEnd(path);
    matn->setAccessibleName(QStringLiteral(u"متن پاراگراف"));
    Command5->setAccessibleName(QStringLiteral(u"انتخاب تصویر متصل"));
    Command1->setAccessibleName(QStringLiteral(u"انتخاب صوت متصل"));
    Command2->setAccessibleName(QStringLiteral(u"انتخاب فیلم متصل"));
    Image1->setAccessibleName(QStringLiteral(u"پیش‌نمایش تصویر متصل"));
    for (QPushButton *b : {Command5, Command1, Command2})
        b->setToolTip(b->accessibleName());
}

void Form6::Form_Load()
{
    m_ctx.editorHost->ShowEdit(*this);
    showMainHint(bname->isReadOnly() && bname->text() == markMain());
    rememberShown();
    const QString templatePath = DoSlash(m_ctx.programFolder) + QStringLiteral("Resources")
        + folderSeparator() + QStringLiteral("img.bin");
    picM->setEnabled(fso.fileExists(templatePath));
}

void Form6::showMainHint(bool shown)
{
    // The body box moves down a line for the hint and back without it.
    mainHint->setVisible(shown);
    matn->setGeometry(shown ? twipsRect(75, 990, 9495, 5565) : twipsRect(75, 660, 9495, 5895));
}

void Form6::rememberShown()
{
    m_shownTitle = bname->text();
    m_shownPic = picB->text();
    m_shownSound = soutB->text();
    m_shownFilm = filmB->text();
    matn->document()->setModified(false);
}

bool Form6::hasUnsavedChanges() const
{
    return matn->document()->isModified() || bname->text() != m_shownTitle || picB->text() != m_shownPic
        || soutB->text() != m_shownSound || filmB->text() != m_shownFilm;
}

void Form6::reject()
{
    if (hasUnsavedChanges()
        && !m_ctx.op->ask(QStringLiteral(u"تغييرات اين پاراگراف ثبت نشده است.\r\n"
                                         u"آيا پنجره بدون ثبت تغييرات بسته شود؟")))
        return;
    QDialog::reject();
}

bool Form6::CHK()
{
    bool result = true;
    const std::pair<QLineEdit *, qint16> checks[] = {{picB, 6}, {soutB, 7}, {filmB, 8}};
    for (const auto &[field, code] : checks) {
        if (!field->text().isEmpty() && !fso.fileExists(field->text())) {
            result = false;
            m_ctx.op->message(code);
        }
    }
    return result;
}

void Form6::btn_Click(int index)
{
    switch (index) {
    case 0:
        m_ctx.editorHost->Ohazf(*this);
        QDialog::reject(); // the paragraph is gone: nothing left to store
        break;
    case 1:
        picB->clear();
        clearPicture();
        break;
    case 2: soutB->clear(); break;
    case 3: filmB->clear(); break;
    case 4: {
        // Every check runs, so the operator sees every problem at once.
        const bool titled = !bname->text().trimmed().isEmpty();
        if (!titled)
            m_ctx.op->notice(QStringLiteral(u"عنوان فهرست نميتواند خالي باشد!\u200F"));
        if (CHK() && titled)
            m_ctx.editorHost->DoEdit(*this);
        break;
    }
    }
}

void Form6::browse(const QString &key, const QString &pattern)
{
    m_ctx.mainWindow->chooseFile(key, pattern);
}

void Form6::Command5_Click()
{
    browse(QStringLiteral("C6d5"), QStringLiteral("*.gif;*.jpg;*.bmp"));
}

void Form6::Command1_Click()
{
    browse(QStringLiteral("C6d1"), QStringLiteral("*.mp3"));
}

void Form6::Command2_Click()
{
    browse(QStringLiteral("C6d2"), QStringLiteral("*.flv"));
}

bool Form6::showPicture(const QString &path)
{
    QPixmap picture;
    if (!picture.load(path))
        return false;
    // Whole and in proportion inside the box, at the screen's own pixel density.
    const qreal ratio = Image1->devicePixelRatioF();
    QPixmap shown = picture.scaled(Image1->contentsRect().size() * ratio, Qt::KeepAspectRatio,
                                   Qt::SmoothTransformation);
    shown.setDevicePixelRatio(ratio);
    Image1->setPixmap(shown);
    return true;
}

void Form6::clearPicture()
{
    Image1->clear();
}

void Form6::picB_Change()
{
    const QString path = picB->text();
    if (!path.isEmpty() && fso.fileExists(path))
        showPicture(path); // an unreadable picture leaves the preview as it was
}

void Form6::preparePopup()
{
    const bool selected = matn->SelLength() >= 1;
    copyM->setEnabled(selected);
    cutM->setEnabled(selected);
    delM->setEnabled(selected);
    pasteM->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
}

void Form6::picM_Click()
{
    m_ctx.editorHost->DoIMG(*this);
}

void Form6::copyM_Click()
{
    QGuiApplication::clipboard()->setText(matn->SelText());
}

void Form6::cutM_Click()
{
    copyM_Click();
    matn->setSelText(QString());
}

void Form6::pasteM_Click()
{
    const QString text = QGuiApplication::clipboard()->text();
    if (!text.isEmpty())
        matn->setSelText(text);
}

void Form6::delM_Click()
{
    matn->setSelText(QString());
}

bool Form6::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == matn->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton) {
            preparePopup();
            popupRightToLeft(popM, mouse->globalPosition().toPoint());
            return true;
        }
    }
    auto *field = qobject_cast<QLineEdit *>(watched);
    if (field && event->type() == QEvent::FocusIn && (field == picB || field == soutB || field == filmB))
        QTimer::singleShot(0, field, [field] { field->setSelection(0, field->text().size()); });
    return QDialog::eventFilter(watched, event);
}

} // namespace zorvel
