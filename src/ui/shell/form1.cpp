#include "ui/shell/form1.h"

#include "core/book/buildlayout.h"
#include "core/common/paths.h"
#include "core/project/bookslot.h"
#include "core/project/settings.h"
#include "ui/common/appcontext.h"
#include "ui/common/operator.h"
#include "ui/common/uistyle.h"
#include "ui/shell/form5.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cmath>

namespace zorvel {

namespace {

// Geometry inside Frame1, in pixels, placed as the panel reads: right to
// left, the decorative icon at the right edge, then the label, the field,
// and the browse button at the far left.
constexpr int kFrameWidth = 301;
constexpr int kIconX = 276, kIconW = 22;
constexpr int kLabelX = 170, kLabelW = 102;
constexpr int kFieldX = 36, kFieldW = 130;
constexpr int kBrowseX = 4, kBrowseW = 28;
constexpr int kRowH = 21;

QLabel *makeLabel(QWidget *parent, const QString &text, int x, int y, int w)
{
    auto *l = new QLabel(text, parent);
    l->setGeometry(x, y + 2, w, kRowH - 2);
    l->setAlignment(Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

QLineEdit *makeField(QWidget *parent, const QString &text, int x, int y, int w)
{
    auto *e = new QLineEdit(text, parent);
    e->setGeometry(x, y, w, kRowH);
    return e;
}

QPushButton *makeBrowse(QWidget *parent, int y)
{
    auto *b = new QPushButton(parent);
    b->setGeometry(kBrowseX, y, kBrowseW, kRowH);
    b->setIcon(QIcon(QStringLiteral(":/art/folder.png")));
    b->setIconSize(QSize(18, 14));
    return b;
}

QFrame *makeRule(QWidget *parent, int y)
{
    auto *f = new QFrame(parent);
    f->setFrameShape(QFrame::HLine);
    f->setFrameShadow(QFrame::Sunken);
    f->setGeometry(4, y, kFrameWidth - 8, 2);
    return f;
}

QLabel *makeIcon(QWidget *parent, const QString &file, int y)
{
    auto *p = new QLabel(parent);
    p->setPixmap(QPixmap(file));
    p->setGeometry(kIconX, y - 1, kIconW, kIconW + 2);
    p->setAlignment(Qt::AlignCenter);
    return p;
}

QPushButton *makeCommand(QWidget *parent, const QString &caption, const QString &icon, int x, int y)
{
    auto *b = new QPushButton(QIcon(icon), caption, parent);
    b->setGeometry(x, y, 92, 27);
    return b;
}

QString resourcePath(const char *name)
{
    return QStringLiteral("Resources") + folderSeparator() + QString::fromLatin1(name);
}

// One path row: the label at the right, the field, the browse button at the left.
void makePathRow(QWidget *parent, int y, const QString &caption, const QString &text,
                 QLabel *&label, QLineEdit *&field, QPushButton *&browse)
{
    label = makeLabel(parent, caption, kLabelX, y, kLabelW);
    field = makeField(parent, text, kFieldX, y, kFieldW);
    browse = makeBrowse(parent, y);
}

// A plain widget window is announced as a mere filler; the main window is
// the program's frame, and a screen reader names it by its caption.
QAccessibleInterface *mainWindowAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("zorvel::Form1") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

bool rowCountAcceptable(const QString &text)
{
    bool ok = false;
    const double value = latinDigits(text).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return false;
    const double whole = std::floor(value);
    return whole >= 1 && whole <= 10;
}

Form1::Form1(AppContext &ctx, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_ctx(ctx)
{
    m_ctx.form1 = this;
    m_ctx.mainWindow = this;
    initArtwork();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zorvel"));
    setWindowIcon(QIcon(QStringLiteral(":/art/icon.png")));
    setLayoutDirection(Qt::RightToLeft);
    applyFormFont(this);
    setFixedSize(tw(4635), tw(8190));
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    buildControls();

    // Start-up, in this order.
    txtDir = layout::pagesFolder();
    xmlDir = layout::indexFolder();
    bMus[0]->setChecked(true);
    applyMusicRule();
    Olgoo[0]->setChecked(true);
    MakeCombo();
    ReadSett();
    m_committedFolder = buildFolder();
}

Form1::~Form1()
{
    if (m_ctx.form1 == this) {
        m_ctx.form1 = nullptr;
        m_ctx.mainWindow = nullptr;
    }
}

QString Form1::buildFolderText() const
{
    return Text1->text();
}

QComboBox *Form1::bookPicker() const
{
    return dataName;
}

void Form1::rebuildBookPicker()
{
    MakeCombo();
}

void Form1::chooseFile(const QString &key, const QString &pattern)
{
    prepareFilePicker(key, pattern);
    m_ctx.op->runModal(*form5());
}

void Form1::minimiseWithWorkbench()
{
    showMinimized();
    Timer1->start();
}

void Form1::buildControls()
{
    Picture1 = new QLabel(this);
    Picture1->setGeometry(0, 0, width(), tw(1815));
    Picture1->setPixmap(QPixmap(QStringLiteral(":/art/banner.jpg")).scaled(
        width(), tw(1815), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));

    Frame1 = new QGroupBox(this);
    Frame1->setGeometry(4, tw(1815) + 2, kFrameWidth, height() - tw(1815) - 6);
    QWidget *f = Frame1;

    // Top block: row counts on the right, the two folders on the left.
    const int countX = 168, countW = 34;
    Picture2 = makeIcon(f, QStringLiteral(":/art/deco_books.gif"), 8);
    Label2 = makeLabel(f, QStringLiteral(u"رديف اول:"), 206, 8, 66);
    title = makeField(f, QStringLiteral("10"), countX, 8, countW);
    Label3 = makeLabel(f, QStringLiteral(u"رديف دوم:"), 206, 34, 66);
    matn = makeField(f, QStringLiteral("10"), countX, 34, countW);
    Label4 = makeLabel(f, QStringLiteral(u"رديف سوم:"), 206, 60, 66);
    shenas = makeField(f, QStringLiteral("10"), countX, 60, countW);
    for (QLineEdit *e : {title, matn, shenas})
        e->setAlignment(Qt::AlignCenter);

    const int leftW = 160 - kFieldX;
    Label7 = makeLabel(f, QStringLiteral(u"مسير متون ورودي:"), kFieldX, 4, leftW);
    Text1 = makeField(f, QStringLiteral(u"شاخه جاري"), kFieldX, 22, leftW);
    Command9 = makeBrowse(f, 22);
    Label8 = makeLabel(f, QStringLiteral(u"مسير ساخت خروجي:"), kFieldX, 46, leftW);
    idir = makeField(f, QStringLiteral("Data"), kFieldX, 64, leftW);
    Command2 = makeBrowse(f, 64);

    Frame2 = makeRule(f, 92);

    int y = 100;
    Picture3 = makeIcon(f, QStringLiteral(":/art/deco_picture.gif"), y);
    Label9 = makeLabel(f, QStringLiteral(u"انتخاب كتاب:"), kLabelX, y, kLabelW);
    dataName = new QComboBox(f);
    dataName->setGeometry(kBrowseX, y, kFieldX + kFieldW - kBrowseX, kRowH + 1);
    y += 26;
    makePathRow(f, y, QStringLiteral(u"تصوير كتاب:"), resourcePath("MyBook.jpg"), Label6, index, Command5);

    Frame3 = makeRule(f, y + 28);

    y += 36;
    Picture4 = makeIcon(f, QStringLiteral(":/art/deco_music.gif"), y);
    Frame4 = new QFrame(f);
    Frame4->setGeometry(kFieldX, y, kLabelX + kLabelW - kFieldX, kRowH);
    bMus[0] = new QRadioButton(QStringLiteral(u"فعال"), Frame4);
    bMus[1] = new QRadioButton(QStringLiteral(u"غير فعال"), Frame4);
    // Option buttons take clicks on their indicator and text only: size them to it.
    const int musOn = bMus[0]->sizeHint().width(), musOff = bMus[1]->sizeHint().width();
    bMus[0]->setGeometry(Frame4->width() - musOn, 0, musOn, kRowH);
    bMus[1]->setGeometry(Frame4->width() - musOn - 30 - musOff, 0, musOff, kRowH);
    m_musicGroup = new QButtonGroup(this);
    m_musicGroup->addButton(bMus[0], 0);
    m_musicGroup->addButton(bMus[1], 1);
    y += 26;
    makePathRow(f, y, QStringLiteral(u"موزيك اول:"), resourcePath("MySound1.mp3"), Label1, Mus1, Command6);
    y += 26;
    makePathRow(f, y, QStringLiteral(u"موزيك دوم:"), resourcePath("MySound2.mp3"), Label10, Mus2, Command7);

    Frame5 = makeRule(f, y + 28);

    y += 36;
    Picture5 = makeIcon(f, QStringLiteral(":/art/deco_template.bmp"), y);
    Label11 = makeLabel(f, QStringLiteral(u"انتخاب الگو:"), kLabelX, y, kLabelW);
    Olgoo[0] = new QRadioButton(QStringLiteral(u"الگوي اول"), f);
    Olgoo[1] = new QRadioButton(QStringLiteral(u"الگوي دوم"), f);
    const int tpl1 = Olgoo[0]->sizeHint().width(), tpl2 = Olgoo[1]->sizeHint().width();
    Olgoo[0]->setGeometry(kLabelX - 4 - tpl1, y, tpl1, kRowH);
    Olgoo[1]->setGeometry(kLabelX - 4 - tpl1 - 16 - tpl2, y, tpl2, kRowH);
    m_templateGroup = new QButtonGroup(this);
    m_templateGroup->addButton(Olgoo[0], 0);
    m_templateGroup->addButton(Olgoo[1], 1);
    y += 26;
    makePathRow(f, y, QStringLiteral(u"تصوير پيشزمينه:"), resourcePath("MyBack.jpg"), Label14, Back, Command8);

    Frame6 = makeRule(f, y + 28);

    y += 36;
    Picture6 = makeIcon(f, QStringLiteral(":/art/deco_print.bmp"), y);
    Pcheck = new QCheckBox(QStringLiteral(u"ايجاد امكان پرينت در نرمافزار"), f);
    Pcheck->setGeometry(kFieldX, y, kLabelX + kLabelW - kFieldX, kRowH);
    y += 26;
    makePathRow(f, y, QStringLiteral(u"مسير ايجاد نرمافزار:"), QStringLiteral("Export"), Label5, ExBox, Command1);

    y += 32;
    Command4 = makeCommand(f, QStringLiteral(u"راهنما"), QStringLiteral(":/art/help.png"), 204, y);
    Command3 = makeCommand(f, QStringLiteral(u"بعدي"), QStringLiteral(":/art/next.png"), 105, y);
    Command10 = makeCommand(f, QStringLiteral(u"خروجي"), QStringLiteral(":/art/export.png"), 6, y);

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);

    // Keyboard order.
    QWidget *order[] = {Text1, Command9, idir, Command2, title, matn, shenas, dataName,
                        index, Command5, bMus[0], bMus[1], Mus1, Command6, Mus2, Command7,
                        Olgoo[1], Olgoo[0], Back, Command8, Pcheck, ExBox, Command1,
                        Command3, Command4, Command10};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    for (QLineEdit *e : {title, matn, shenas})
        e->installEventFilter(this);
    installTextBoxFocusRule();
    nameControls();
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(mainWindowAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    for (QRadioButton *b : bMus)
        b->installEventFilter(this);

    connect(bMus[0], &QRadioButton::toggled, this, [this] { applyMusicRule(); });
    connect(dataName, &QComboBox::currentIndexChanged, this,
            [this] { dataName->setToolTip(dataName->currentText()); });
    // A text set from code (a picker's choice, the absolute-path rule) counts at
    // once; a typed one when the operator has finished with the field, so that
    // typing a path does not read the folders it passes through.
    connect(idir, &QLineEdit::textChanged, this, [this] {
        if (!idir->isModified())
            buildFolderCommitted();
    });
    connect(idir, &QLineEdit::editingFinished, this, &Form1::buildFolderCommitted);

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &Form1::Command8_Click);
    connect(Command9, &QPushButton::clicked, this, &Form1::Command9_Click);
    connect(Command10, &QPushButton::clicked, this, &Form1::Command10_Click);
    addEpubCommand();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // Selecting the whole text on focus is the application's text box rule.
    auto *field = qobject_cast<QLineEdit *>(watched);
    if (field && event->type() == QEvent::KeyRelease
               && (field == title || field == matn || field == shenas)) {
        applyRowCountRule(field);
    } else if (field && event->type() == QEvent::FocusOut
               && (field == title || field == matn || field == shenas)) {
        // Leaving the field (or the window) with the same counts keeps the list.
        if (countsChangedSinceCombo())
            MakeCombo();
    } else if (event->type() == QEvent::KeyRelease && (watched == bMus[0] || watched == bMus[1])) {
        applyMusicRule();
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::applyMusicRule()
{
    const bool on = bMus[0]->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{Mus1, Mus2, Command6, Command7, Label1, Label10})
        w->setEnabled(on);
}

void Form1::applyRowCountRule(QLineEdit *field)
{
    // A Persian keyboard types Persian digits: they stand as the digits they are.
    const QString latin = latinDigits(field->text());
    if (latin != field->text()) {
        const int caret = field->cursorPosition();
        field->setText(latin);
        field->setCursorPosition(caret);
    }
    if (rowCountAcceptable(field->text()))
        return;
    field->setText(QStringLiteral("10"));
    field->setSelection(0, field->text().size());
}

void Form1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Text1->setFocus();
    // The window may not be active yet, and then no focus event comes to
    // select the text: typing must replace it all the same.
    Text1->selectAll();
}

void Form1::nameControls()
{
    nameAfterLabel(title, Label2);
    nameAfterLabel(matn, Label3);
    nameAfterLabel(shenas, Label4);
    nameAfterLabel(Text1, Label7);
    nameAfterLabel(idir, Label8);
    nameAfterLabel(dataName, Label9);
    nameAfterLabel(index, Label6);
    nameAfterLabel(Mus1, Label1);
    nameAfterLabel(Mus2, Label10);
    nameAfterLabel(Back, Label14);
    nameAfterLabel(ExBox, Label5);
    Frame4->setAccessibleName(QStringLiteral(u"موزیک"));
    for (QRadioButton *b : bMus)
        b->setAccessibleDescription(QStringLiteral(u"موزیک"));
    for (QRadioButton *b : Olgoo)
        b->setAccessibleDescription(labelCaption(Label11->text()));
    // The browse buttons show only a folder picture.
    const std::pair<QPushButton *, const char16_t *> browse[] = {
        {Command9, u"انتخاب شاخه متون ورودی"},
        {Command2, u"انتخاب شاخه ساخت خروجی"},
        {Command5, u"انتخاب فایل تصویر کتاب"},
        {Command6, u"انتخاب فایل موزیک اول"},
        {Command7, u"انتخاب فایل موزیک دوم"},
        {Command8, u"انتخاب فایل تصویر پیش‌زمینه"},
        {Command1, u"انتخاب شاخه ایجاد نرم‌افزار"},
    };
    for (const auto &[button, name] : browse) {
        button->setAccessibleName(QString::fromUtf16(name));
        button->setToolTip(button->accessibleName());
    }
    Command10->setAccessibleDescription(Command10->toolTip());
    Picture1->setAccessibleName(QStringLiteral("Zorvel"));
    for (QLineEdit *e : {Text1, idir, index, Mus1, Mus2, Back, ExBox})
        showPathEnd(e);
}

void Form1::closeEvent(QCloseEvent *event)
{
    // Everything ends with the main window, without questions.
    event->accept();
    emit shutdown();
}

void Form1::bepayam(qint16 code)
{
    m_ctx.op->message(code);
}

QString Form1::DoSlash(const QString &iPa)
{
    return zorvel::DoSlash(iPa);
}

QString Form1::fieldPath(const QLineEdit *field) const
{
    const QString text = field->text();
    return text.isEmpty() ? text : absoluteFieldPath(text, m_ctx.programFolder);
}

QString Form1::buildFolder() const
{
    return fieldPath(idir);
}

QString Form1::Radi(qint16 ora) const
{
    switch (ora) {
    case 0: return musicCode(bMus[0]->isChecked());
    case 1: return templateCode(Olgoo[0]->isChecked());
    case 2: return printCode(Pcheck->isChecked());
    default: return QStringLiteral("0");
    }
}

bool Form1::CHK()
{
    bool result = true;
    auto check = [&](bool failed, qint16 code) {
        if (failed) {
            result = false;
            bepayam(code);
        }
    };
    const bool musicOn = bMus[0]->isChecked();
    check(dataName->count() == 0, 15);
    check(Text1->text().isEmpty(), 16);
    check(title->text().isEmpty(), 17);
    check(matn->text().isEmpty(), 18);
    check(shenas->text().isEmpty(), 19);
    check(musicOn && Mus1->text().isEmpty(), 20);
    check(musicOn && Mus2->text().isEmpty(), 21);
    check(index->text().isEmpty(), 22);
    check(idir->text().isEmpty(), 23);
    check(Back->text().isEmpty(), 24);
    return result;
}

void Form1::buildFolderCommitted()
{
    const QString folder = buildFolder();
    if (samePath(folder, m_committedFolder))
        return;
    m_committedFolder = folder;
    if (fso.folderExists(folder))
        ReadSett();
    MakeCombo();
}

void Form1::ReadSett()
{
    QString problem;
    const auto settings = readProject(fso, buildFolder(), &problem);
    if (!problem.isEmpty()) {
        m_ctx.op->notice(QStringLiteral(u"فايل تنظيمات پروژه خوانده نشد و تنظيمات تغيير نكرد:\n")
                         + problem);
        return;
    }
    if (!settings)
        return;
    title->setText(settings->aBookNumber);
    matn->setText(settings->bBookNumber);
    shenas->setText(settings->cBookNumber);
    Olgoo[settings->template1 ? 0 : 1]->setChecked(true);
    bMus[settings->musicOn ? 0 : 1]->setChecked(true);
    applyMusicRule();
    Pcheck->setChecked(settings->print);
    MakeCombo();
}

bool Form1::SaveThings(bool *complete)
{
    SaveRequest r;
    r.buildFolder = buildFolder();
    r.settings.aBookNumber = title->text();
    r.settings.bBookNumber = matn->text();
    r.settings.cBookNumber = shenas->text();
    r.settings.template1 = Olgoo[0]->isChecked();
    r.settings.musicOn = bMus[0]->isChecked();
    r.settings.print = Pcheck->isChecked();
    r.pickerText = dataName->currentText();
    r.bookPicture = fieldPath(index);
    r.background = fieldPath(Back);
    r.music1 = fieldPath(Mus1);
    r.music2 = fieldPath(Mus2);
    const SaveOutcome outcome = saveProject(fso, r);
    if (!outcome.problems.isEmpty())
        m_ctx.op->notice(QStringLiteral(u"اين فايلها نوشته نشد:\n") + outcome.problems.join(u'\n'));
    if (complete)
        *complete = outcome.problems.isEmpty();
    return outcome.settingsWritten;
}

bool Form1::countsChangedSinceCombo() const
{
    return bookCountOf(title->text()) != m_comboCounts[0]
        || bookCountOf(matn->text()) != m_comboCounts[1]
        || bookCountOf(shenas->text()) != m_comboCounts[2];
}

void Form1::MakeCombo()
{
    // The chosen book stays chosen while it is listed, wherever it now stands.
    const QString chosen = dataName->currentText();
    const QStringList entries
        = unfinishedBooks(fso, buildFolder(), title->text(), matn->text(), shenas->text());
    m_comboCounts[0] = bookCountOf(title->text());
    m_comboCounts[1] = bookCountOf(matn->text());
    m_comboCounts[2] = bookCountOf(shenas->text());
    dataName->clear();
    dataName->addItems(entries);
    fitBookListWidth();
    const int at = entryIndexOfSameBook(entries, chosen);
    if (at >= 0)
        dataName->setCurrentIndex(at);
}

void Form1::fitBookListWidth()
{
    // The window's width is fixed; the open list may be wider than the box
    // so that no entry loses its slot tag.
    const QFontMetrics metrics(dataName->view()->font());
    int widest = 0;
    for (int i = 0; i < dataName->count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(dataName->itemText(i)));
    const int frame = 2 * dataName->view()->frameWidth() + 24; // margins and a scroll bar
    dataName->view()->setMinimumWidth(std::max(dataName->width(), widest + frame));
    dataName->setToolTip(dataName->currentText());
}

} // namespace zorvel
