#include "ui/workbench/form3.h"

#include "core/book/manuscript.h"
#include "core/book/savedwork.h"
#include "core/book/textrules.h"
#include "core/common/paths.h"
#include "core/project/bookslot.h"
#include "core/richtext/rtf.h"
#include "ui/common/appcontext.h"
#include "ui/common/operator.h"
#include "ui/common/uistyle.h"
#include "ui/richtext/richtextbox.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QTextCursor>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace zorvel {

namespace {

// Left and width of the marking buttons inside their frame, by index.
constexpr int kComLeft[12] = {11115, 9765, 5085, 3975, 1635, 9240, 8955, 8670, 8385, 6705, 6060, 120};
constexpr int kComWidth[12] = {1050, 1365, 765, 1125, 1035, 315, 300, 300, 300, 1470, 660, 1275};

// Saved work that cannot be read is kept under another name, so that the
// next save cannot overwrite it; the book goes on with an empty table.
void setAsideSavedWork(Operator &op, const QString &path, const QString &problem)
{
    const QString head = QStringLiteral(u"كار ذخيره شده اين كتاب خوانده نشد:\n") + problem;
    try {
        const QString aside = setAsideUnreadableWork(path, QDateTime::currentDateTime());
        op.notice(head + QStringLiteral(u"\n\nاين فايل دست نخورده در اين محل نگه داشته شد:\n")
            + QDir::toNativeSeparators(aside));
    } catch (const FsError &e) {
        op.notice(head + u'\n' + e.describe());
    }
}

} // namespace

Form3::Form3(AppContext &ctx, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_ctx(ctx)
{
    m_ctx.form3 = this;
    m_ctx.editorHost = this;
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Format data"));
    setLayoutDirection(Qt::RightToLeft);
    applyFormFont(this);
    buildControls();
    Form_Load();
}

Form3::~Form3()
{
    if (m_ctx.form3 == this) {
        m_ctx.form3 = nullptr;
        m_ctx.editorHost = nullptr;
    }
}

void Form3::buildControls()
{
    resize(tw(12360), tw(8940));

    Frame2 = new QFrame(this);
    Frame2->setFrameShape(QFrame::StyledPanel);
    Frame2->setGeometry(twipsRect(15, 60, 9525, 2190));
    bname = new QLineEdit(Frame2);
    bname->setGeometry(twipsRect(60, 150, 5040, 330));
    bname->setAlignment(Qt::AlignAbsolute | Qt::AlignRight);
    Label2 = new QLabel(Frame2);
    Label2->setGeometry(twipsRect(5145, 225, 2175, 180));
    Label2->setAutoFillBackground(true);
    QPalette strip = Label2->palette();
    strip.setColor(QPalette::Window, QColor(0xf4, 0xe3, 0xb5));
    Label2->setPalette(strip);
    BookLabel = new QLabel(Frame2);
    BookLabel->setGeometry(twipsRect(5175, 195, 2370, 300));
    BookLabel->setAlignment(Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter);
    Label3 = new QLabel(QStringLiteral(u"عناوين فهرست كتاب:"), Frame2);
    Label3->setGeometry(twipsRect(7710, 225, 1695, 300));
    Label3->setAlignment(Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter);
    bindex = new QListWidget(Frame2);
    bindex->setGeometry(twipsRect(60, 510, 9390, 1380));
    // How many of the table's slots are in use, always in sight below the index.
    Counter = new QLabel(Frame2);
    Counter->setGeometry(twipsRect(60, 1890, 9390, 270));
    Counter->setAlignment(Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter);
    // One line per row: without measuring every row again, a mark in a full
    // table of 257 rows costs no more than one in an empty table.
    bindex->setUniformItemSizes(true);

    Label1 = new QLabel(QStringLiteral(u"فهرست كتابهاي يافت شده:"), this);
    Label1->setGeometry(twipsRect(9690, 150, 2580, 300));
    Label1->setAlignment(Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter);
    books = new QListWidget(this);
    books->setGeometry(twipsRect(9585, 435, 2745, 1815));

    Frame1 = new QFrame(this);
    Frame1->setFrameShape(QFrame::StyledPanel);
    Frame1->setGeometry(twipsRect(15, 2220, 12300, 720));
    const QString captions[12] = {
        QStringLiteral(u"نام كتاب"),    QStringLiteral(u"شناسنامه كتاب"), QStringLiteral(u"عنوان"),
        QStringLiteral(u"متن مرتبط"),   QStringLiteral(u"حذف متن"),      QStringLiteral(u"( )"),
        QStringLiteral(u"-"),           QStringLiteral(u":"),            QStringLiteral(u"؛"),
        ParagraphTable::mainCaption(0), QStringLiteral(u"پايان"),        QStringLiteral(u"ساخت فايل")};
    for (int i = 0; i < 12; ++i) {
        Com[i] = new QPushButton(captions[i], Frame1);
        Com[i]->setGeometry(twipsRect(kComLeft[i], 210, kComWidth[i], 405));
        connect(Com[i], &QPushButton::clicked, this, [this, i] { Com_Click(i); });
    }
    Chek = new QCheckBox(QStringLiteral(u"با حذف"), Frame1);
    Chek->setGeometry(twipsRect(2895, 315, 795, 210).adjusted(0, -3, 0, 3));

    matn = new PlainTextBox(this);
    matn->setGeometry(twipsRect(15, 3000, 12300, 5895));
    ConRT = new RichTextBox(this);
    ConRT->hide();

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &Form3::Timer1_Timer);

    connect(books, &QListWidget::itemClicked, this, [this] { books_Click(); });
    bindex->viewport()->installEventFilter(this);
    bname->installEventFilter(this);
    for (QWidget *keys : {static_cast<QWidget *>(books), static_cast<QWidget *>(bindex),
                          static_cast<QWidget *>(matn)})
        keys->installEventFilter(this);
    buildHistory();
    buildShortcuts();
    rightToLeftContextMenus({bname, matn});
    buildSuggestionCommands();
    nameControls();
}

void Form3::nameControls()
{
    nameAfterLabel(books, Label1);
    nameAfterLabel(bindex, Label3);
    Counter->setAccessibleName(QStringLiteral(u"تعداد خانه\u200Cهای پر جدول"));
    bname->setAccessibleName(QStringLiteral(u"نام کتاب"));
    matn->setAccessibleName(QStringLiteral(u"متن ورودی"));
    // The punctuation buttons' captions say nothing to a screen reader.
    Com[5]->setAccessibleName(QStringLiteral(u"افزودن انتخاب در پرانتز به نام کتاب"));
    Com[6]->setAccessibleName(QStringLiteral(u"افزودن انتخاب با خط تیره به نام کتاب"));
    Com[7]->setAccessibleName(QStringLiteral(u"افزودن انتخاب با دونقطه به نام کتاب"));
    Com[8]->setAccessibleName(QStringLiteral(u"افزودن انتخاب با نقطه‌ویرگول به نام کتاب"));
}

void Form3::Form_Load()
{
    NameNevis();
    ResetA();
    Chek->setChecked(true);

    m_designSize = size();
    m_designMatn = matn->size();
    m_designBooksLeft = books->x();
    m_designLabel3Left = Label3->x();
    m_designLabel1Left = Label1->x();
    for (int i = 0; i < 12; ++i)
        m_designComLeft[i] = Com[i]->x();
    m_designBindexWidth = bindex->width();
    m_designFrame1Width = Frame1->width();
    m_designFrame2Width = Frame2->width();
    setMinimumSize(m_designSize);

    showText(QStringLiteral(
        u"متن كتاب در اين محل نمايش داده ميشود و شما  پس از انتخاب هر بخش از متن، با فشردن دگمه مربوطه نوع آن بخش را\r\n"
        u"انتخاب ميكنيد و در نهايت تمام كتاب قطعه قطعه خواهد شد!\r\n"
        u"براي ويرايش متن انتخاب شده، روي عنوان آن در فهرست عناوين كليك كنيد."), false);
    Mright();
    // The input texts are listed each time the workbench opens for a book.

    const QString template_ = DoSlashAlways(m_ctx.programFolder) + QStringLiteral("Resources")
        + folderSeparator() + QStringLiteral("img.bin");
    ImgT.clear();
    if (fso.fileExists(template_)) {
        try {
            ImgT = fso.read1256(template_);
        } catch (const FsError &) {
            ImgT.clear(); // inline pictures are then refused with their own message
        }
    }
    Timer1->start();
}

void Form3::Mright()
{
    // The whole text right-aligned and the caret at its start, without
    // showing a selection of all of it on the way.
    matn->setSelStart(0);
    matn->setAlignmentAll(1);
}

void Form3::IndexEmpty()
{
    bindex->clear();
}

void Form3::ResetA()
{
    Com[9]->setText(ParagraphTable::mainCaption(0));
    table.reset();
    bname->clear();
    IndexEmpty();
    updateCounter();
    m_history.clear();
    m_nearFullWarned = false;
}

QString Form3::inputFolder() const
{
    return m_ctx.mainWindow->buildFolderText();
}

qint16 Form3::FileList()
{
    books->clear();
    qint16 count = 0;
    QStringList names;
    try {
        names = fso.listFiles(inputFolder());
    } catch (const FsError &) {
        names.clear(); // a vanished folder lists nothing
    }
    for (const QString &name : std::as_const(names)) {
        if (extensionOf(name).compare(QLatin1String("TXT"), Qt::CaseInsensitive) == 0
            || isManuscriptFile(name)) {
            books->addItem(name);
            ++count;
        }
    }
    if (count == 0)
        m_ctx.op->message(1);
    return count;
}

void Form3::books_Click()
{
    QListWidgetItem *item = books->currentItem();
    if (!item)
        return;
    const QString path = DoSlashAlways(inputFolder()) + item->text();
    if (isManuscriptFile(item->text())) {
        loadManuscript(path);
        return;
    }
    QString content;
    try {
        content = decodeInputText(fso.readBytes(path));
    } catch (const FsError &e) {
        m_ctx.op->notice(QStringLiteral(u"فايل ورودي خوانده نشد:\n") + e.describe());
    }
    // The history starts with the text: undo goes back to this moment.
    showText(Rep(content), true);
    Mright();
    // The table may already hold pieces of this book from another text: the
    // list shows them again, row for row.
    IndexEmpty();
    syncIndex();
    m_inputText = item->text();
    stampInputText(m_inputText);
    saveTextBase(); // the whole text once, while it loads; a mark then saves its edits
    saveWork();
}

void Form3::NameNevis()
{
    QComboBox *picker = m_ctx.mainWindow->bookPicker();
    const QString done = QStringLiteral(u"پايان تعداد كتابها!");
    const BookSlot slot = parseBookSlot(picker->count() > 0 ? picker->currentText() : QString());
    bool ok = false;
    const int number = slot.bookNo.toInt(&ok);
    const QString row = rowWord(slot.rowLetter);
    QString caption;
    if (picker->count() == 0 || !slot.valid || !ok || number < 1 || number > 10 || row.isEmpty()) {
        // No book named: the last one is not kept, so nothing is written to it.
        rowLetter.clear();
        bookNo.clear();
        caption = done;
    } else {
        rowLetter = slot.rowLetter;
        bookNo = slot.bookNo;
        caption = QStringLiteral(u"نام كتاب ") + ordinalWords().at(number - 1)
            + QStringLiteral(u" در رديف ") + row + u':';
    }
    if (BookLabel->text() != caption)
        BookLabel->setText(caption);
}

void Form3::openForBook(const QString &buildFolder)
{
    const QString oldRow = rowLetter, oldBook = bookNo, oldFolder = m_buildFolder;
    const QString oldLabel = BookLabel->text();
    NameNevis();
    const bool sameBook = !oldRow.isEmpty() && oldRow == rowLetter && oldBook == bookNo
        && samePath(oldFolder, buildFolder);
    if (!sameBook && !oldRow.isEmpty() && !oldFolder.isEmpty()) {
        // The book being left keeps its marks in its saved work; if they could
        // not be saved, they are not dropped without asking.
        const QString newRow = rowLetter, newBook = bookNo;
        rowLetter = oldRow;
        bookNo = oldBook;
        saveWork();
        if (m_workSaveFailed && hasWork(currentWork())
            && !m_ctx.op->ask(QStringLiteral(u"كار كتاب قبلي ذخيره نشد و با شروع كتاب ديگر از دست ميرود.\r\n"
                                             u"آيا كتاب ديگر شروع شود؟"))) {
            BookLabel->setText(oldLabel);
            return;
        }
        rowLetter = newRow;
        bookNo = newBook;
    }
    m_buildFolder = buildFolder;
    if (!sameBook) {
        ResetA();
        m_inputText.clear();
        m_workSaveFailed = false;
        m_workText.reset(m_workText.text()); // the text shown starts this book's work afresh
    }
    FileList();
    offerSavedWork();
}

QString Form3::workFile() const
{
    if (rowLetter.isEmpty() || bookNo.isEmpty() || m_buildFolder.isEmpty())
        return {};
    return workFilePath(m_buildFolder, rowLetter, bookNo);
}

BookWork Form3::currentWork() const
{
    BookWork w;
    w.rowLetter = rowLetter;
    w.bookNo = bookNo;
    w.bookName = bname->text();
    w.inputText = m_inputText;
    w.table = table.contents();
    if (m_keepText && !m_workText.baseFile().isEmpty()) {
        BookWork::Text t;
        t.baseFile = m_workText.baseFile();
        t.baseLength = m_workText.base().size();
        t.edits = m_workText.splices();
        t.edited = m_workText.edited();
        const QTextCursor c = matn->textCursor();
        t.anchor = c.anchor();
        t.caret = c.position();
        w.text = t;
        w.inputSize = m_inputSize;
        w.inputModified = m_inputModified;
    }
    return w;
}

void Form3::saveWork()
{
    const QString path = workFile();
    if (path.isEmpty())
        return;
    m_caretSave->stop();
    // Past a few hundred edits the text is written whole again.
    if (m_keepText && m_workText.wantsRebase())
        m_workText.rebase();
    saveTextBase();
    const BookWork work = currentWork();
    try {
        if (hasWork(work))
            saveBookWork(fso, path, work);
        else if (fso.fileExists(path))
            fso.deleteFile(path);
        // The base this work names stays, and the one of the text shown; any
        // other is left from an earlier text.
        removeWorkTextBases(fso, path, m_keepText ? m_workText.baseFile() : QString());
        m_workSaveFailed = false;
    } catch (const FsError &e) {
        // Said once, not after every mark, until a save goes through again.
        if (!m_workSaveFailed)
            m_ctx.op->notice(QStringLiteral(u"كار اين كتاب ذخيره نشد:\n") + e.describe());
        m_workSaveFailed = true;
    }
}

void Form3::startAfresh()
{
    ResetA();
    m_inputText.clear();
    m_workText.reset(m_workText.text()); // the text shown is not this book's work
    saveWork(); // nothing left: the saved work goes
    removeWorkMedia(workMediaFolderPath(m_buildFolder, rowLetter, bookNo));
}

void Form3::offerSavedWork()
{
    const QString path = workFile();
    if (path.isEmpty())
        return;
    QString problem;
    const std::optional<BookWork> saved = loadBookWork(fso, path, &problem);
    if (!saved) {
        if (!problem.isEmpty())
            setAsideSavedWork(*m_ctx.op, path, problem);
        return;
    }
    if (!hasWork(*saved))
        return;
    QString question = QStringLiteral(u"براي اين كتاب  (") + rowLetter + bookNo
        + QStringLiteral(u") كار ذخيره شده\u200Cاي هست.\r\nآيا همان كار ادامه داده شود؟\r\n\r\n"
                         u"(خير: كتاب از نو شروع ميشود و كار ذخيره شده حذف ميشود.)");
    // The text left is shown as it was saved, not read again from its file.
    if (saved->text && saved->inputSize >= 0 && !saved->inputText.isEmpty()) {
        const QFileInfo input(DoSlashAlways(inputFolder()) + saved->inputText);
        if (!input.exists() || input.size() != saved->inputSize
            || input.lastModified().toMSecsSinceEpoch() != saved->inputModified)
            question += QStringLiteral(u"\r\n\r\nفايل ورودي «") + saved->inputText
                + QStringLiteral(u"» پس از ذخيره اين كار تغيير كرده است؛ متن باقيمانده همان"
                                 u" متن ذخيره شده است و فايل دوباره خوانده نميشود.\u200F");
    }
    if (m_ctx.op->ask(question)) {
        // Only media of this project come back.
        BookWork work = *saved;
        const QStringList refused = refuseForeignMedia(work, {m_buildFolder, inputFolder()});
        if (!restoreWork(work)) {
            setAsideSavedWork(*m_ctx.op, path, QDir::toNativeSeparators(path));
        } else {
            if (!problem.isEmpty())
                m_ctx.op->notice(QStringLiteral(u"متن باقيمانده كار ذخيره شده خوانده نشد؛ متن از فايل"
                                                u" ورودي دوباره خوانده شد:\n")
                                 + problem);
            if (!refused.isEmpty())
                m_ctx.op->notice(QStringLiteral(u"اين فايلها بيرون از پوشه‌هاي پروژه‌اند و از كار ذخيره شده برداشته شدند:\n")
                                 + QDir::toNativeSeparators(refused.join(u'\n')));
        }
    } else {
        startAfresh();
    }
}

bool Form3::restoreWork(const BookWork &work)
{
    ParagraphTable restored;
    if (!restored.restore(work.table))
        return false;
    table = restored;
    bname->setText(work.bookName);
    updateMainCaption();
    IndexEmpty();
    syncIndex();
    m_inputText = work.inputText;
    const auto found = books->findItems(work.inputText, Qt::MatchExactly);
    if (work.text) {
        // The text left as it was, what was cut from it still gone, the caret
        // where it stood; the history starts here.
        showText(work.text->restored.text(), true);
        if (m_workText.text() == work.text->restored.text())
            m_workText = work.text->restored; // its base and edits as they are on disk
        else
            m_workText.setEdited(true); // shown otherwise: written whole again
        Mright();
        QTextCursor c = matn->textCursor();
        const int end = matn->document()->characterCount() - 1;
        c.setPosition(std::clamp(work.text->anchor, 0, end));
        c.setPosition(std::clamp(work.text->caret, 0, end), QTextCursor::KeepAnchor);
        matn->setTextCursor(c);
        m_inputSize = work.inputSize;
        m_inputModified = work.inputModified;
        if (!found.isEmpty())
            books->setCurrentItem(found.first());
    } else if (!work.inputText.isEmpty() && !found.isEmpty() && !isManuscriptFile(work.inputText)) {
        // Saved before the text was kept: read again from its file (a
        // manuscript is not: that would mark it once more).
        books->setCurrentItem(found.first());
        books_Click();
    }
    m_history.clear();
    return true;
}

void Form3::updateMainCaption()
{
    Com[9]->setText(ParagraphTable::mainCaption(table.mainDepth()));
}

void Form3::syncIndex()
{
    updateCounter();
    const QStringList &rows = table.rows();
    while (bindex->count() > rows.size())
        delete bindex->takeItem(bindex->count() - 1);
    for (int i = 0; i < rows.size(); ++i) {
        if (i < bindex->count()) {
            if (bindex->item(i)->text() != rows[i])
                bindex->item(i)->setText(rows[i]);
        } else {
            bindex->addItem(rows[i]);
        }
    }
}

void Form3::reportRefusedMark(ParagraphTable::Mark mark)
{
    switch (mark) {
    case ParagraphTable::Mark::TableFull:
        m_ctx.op->notice(QStringLiteral(u"جدول پاراگرافهاي اين كتاب پر است؛ علامت جديدي پذيرفته نميشود.\u200F"));
        break;
    case ParagraphTable::Mark::NoPendingTitle:
        m_ctx.op->notice(QStringLiteral(u"ابتدا عنوان اين متن را علامت بزنيد!\u200F"));
        break;
    case ParagraphTable::Mark::NothingToClose:
        m_ctx.op->notice(QStringLiteral(u"عنواني براي بستن وجود ندارد!\u200F"));
        break;
    case ParagraphTable::Mark::NothingSelected:
        m_ctx.op->notice(QStringLiteral(u"ابتدا بخشي از متن را انتخاب كنيد!\u200F"));
        break;
    case ParagraphTable::Mark::Done:
        break;
    }
}

bool Form3::mayReplacePendingTitle()
{
    if (!table.pendingHasContent())
        return true;
    const QString title = table.slot(table.parCount()).title;
    return m_ctx.op->ask(QStringLiteral(u"براي عنوان «") + title
                         + QStringLiteral(u"» متن يا ضميمه\u200Cاي ثبت شده است.\r\n"
                                          u"آيا علامت جديد جاي آن را بگيرد؟"));
}

void Form3::Com_Click(int index)
{
    if (index < 0 || index > 11)
        return;
    if (index == 11) {
        // The text goes only with a book written: a refused write keeps it.
        if (MakeBook())
            showText(QString(), false);
        return;
    }
    // Marks that take the slot of a pending title.
    const bool takesPendingSlot = index == 1 || index == 2 || index == 9
        || (index == 10 && table.mainDepth() > 0);
    if (takesPendingSlot && !mayReplacePendingTitle())
        return;
    QString s = index == 4 || index == 10 ? QString() : matn->SelText();
    if (index == 9 && s.trimmed().isEmpty()) {
        // Nothing selected: the main title's name is asked for, not left empty.
        const std::optional<QString> name = m_ctx.op->askText(mainTitlePrompt(), QString());
        if (!name || name->trimmed().isEmpty())
            return;
        s = *name;
    }
    ParagraphTable::Mark mark = ParagraphTable::Mark::Done;
    bool marked = false;
    commitStep(Com[index]->text(), [&] {
        switch (index) {
        case 0:
            if (!bname->text().isEmpty())
                bname->setText(bname->text() + u' ');
            bname->setText(bname->text() + s);
            break;
        case 5: bname->setText(bname->text() + QStringLiteral(" (") + s + u')'); break;
        case 6: bname->setText(bname->text() + QStringLiteral(" - ") + s); break;
        case 7: bname->setText(bname->text() + QStringLiteral(": ") + s); break;
        case 8: bname->setText(bname->text() + QStringLiteral(u"؛ ") + s); break;
        case 1:
            mark = table.markIdentity(s, matn->SelRTF());
            marked = true;
            break;
        case 2:
            mark = table.markTitle(s);
            marked = true;
            break;
        case 3:
            mark = table.markRelated(s, table.hasPendingTitle() ? matn->SelRTF() : QString());
            marked = true;
            break;
        case 9:
            mark = table.openMain(s);
            marked = true;
            break;
        case 10:
            // Closing a main title never touches the selection.
            mark = table.closeMain();
            return;
        case 4: matn->setSelText(QString()); break;
        }
        if (mark != ParagraphTable::Mark::Done)
            return;
        if (Chek->isChecked() && index != 4)
            matn->setSelText(QString());
        matn->setSelStart(0);
    });
    if (mark != ParagraphTable::Mark::Done) {
        reportRefusedMark(mark);
        return;
    }
    if (marked || index == 10)
        bindex->setCurrentRow(table.lastRow());
}

QString Form3::mainTitlePrompt()
{
    return QStringLiteral(u"نام عنوان اصلي را بنويسيد:\u200F");
}

void Form3::bindex_MouseUp()
{
    parIndex = static_cast<qint16>(bindex->currentRow());
    if (parIndex >= 0 && table.slot(parIndex).title != markEnd())
        openEditor();
}

bool Form3::eventFilter(QObject *watched, QEvent *event)
{
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)
        && keyFilter(watched, static_cast<QKeyEvent *>(event)))
        return true;
    if (watched == bindex->viewport() && event->type() == QEvent::MouseButtonRelease) {
        // Let the list select the row under the mouse first.
        QTimer::singleShot(0, this, [this] { bindex_MouseUp(); });
    } else if (watched == bname && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->text() == QString(QChar(1))) {
            bname->setSelection(0, bname->text().size());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form3::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Form3::Form_Resize()
{
    if (m_designSize.isEmpty() || isMinimized())
        return;
    if (width() < m_designSize.width() || height() < m_designSize.height()) {
        resize(std::max(width(), m_designSize.width()), std::max(height(), m_designSize.height()));
        return;
    }
    const int dw = width() - m_designSize.width();
    const int dh = height() - m_designSize.height();
    matn->resize(m_designMatn.width() + dw, m_designMatn.height() + dh);
    books->move(m_designBooksLeft + dw, books->y());
    Label3->move(m_designLabel3Left + dw, Label3->y());
    Label1->move(m_designLabel1Left + dw, Label1->y());
    for (int i = 0; i <= 10; ++i)
        if (i != 4)
            Com[i]->move(m_designComLeft[i] + dw, Com[i]->y());
    bindex->resize(m_designBindexWidth + dw, bindex->height());
    Frame1->resize(m_designFrame1Width + dw, Frame1->height());
    Frame2->resize(m_designFrame2Width + dw, Frame2->height());
}

void Form3::Timer1_Timer()
{
    if (!isMinimized())
        return;
    // The main window goes down with the workbench and brings it back.
    Timer1->stop();
    m_ctx.mainWindow->minimiseWithWorkbench();
}

} // namespace zorvel
