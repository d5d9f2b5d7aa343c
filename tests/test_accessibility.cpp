// What a screen reader finds in the main window, the pickers, help and the
// message boxes: every control that takes the focus has a Persian name, and a
// message box is announced with its caption and its text.
#include "core/common/messages.h"
#include "support/accessiblenames.h"
#include "support/recorder.h"
#include "support/screenshot.h"
#include "support/tempprogram.h"
#include "ui/common/appcontext.h"
#include "ui/common/qtoperator.h"
#include "ui/common/uistyle.h"
#include "ui/shell/dirlist.h"
#include "ui/shell/drivelist.h"
#include "ui/shell/filelist.h"
#include "ui/shell/form1.h"
#include "ui/shell/form2.h"
#include "ui/shell/form4.h"
#include "ui/shell/form5.h"

#include <QAccessible>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace zorvel;
using namespace zorvel::testing;

namespace {

// Persian script, not a Latin placeholder: the operator's language.
bool isPersian(const QString &name)
{
    for (const QChar c : name) {
        if (c.unicode() >= 0x0600 && c.unicode() <= 0x06FF)
            return true;
    }
    return false;
}

// A main window on a throw-away program folder, shown.
struct MainWindow {
    TempProgram tp;
    Recorder rec;
    AppContext ctx;
    std::unique_ptr<Form1> f;
    MainWindow()
    {
        ctx.op = &rec;
        ctx.programFolder = tp.path();
        f = std::make_unique<Form1>(ctx);
        f->show();
    }
};

QString unnamedReport(QWidget *w)
{
    return unnamedControls(w).join(QStringLiteral("; "));
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void mainWindowControlsAreNamed();
    void pickersAndHelpAreNamed();
    void messageBoxesAreSpokenAndWideEnough();
    void exportMenuOpensLeftOfThePointer();
};

void TestAccessibility::mainWindowControlsAreNamed()
{
    MainWindow shown;
    Form1 &f = *shown.f;
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QVERIFY2(unnamedControls(&f).isEmpty(), qPrintable(unnamedReport(&f)));
    QVERIFY2(captionlessButtonsWithoutName(&f).isEmpty(),
             qPrintable(captionlessButtonsWithoutName(&f).join(u',')));

    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(&f);
    QCOMPARE(window->role(), QAccessible::Window);
    QCOMPARE(window->text(QAccessible::Name), QStringLiteral("Zorvel"));

    // Fields are announced by the label beside them, without its colon.
    QCOMPARE(spokenName(f.idir), QStringLiteral(u"مسير ساخت خروجي"));
    QCOMPARE(spokenName(f.title), QStringLiteral(u"رديف اول"));
    // A combo box is announced by its entry on this platform; its label
    // comes by the labelled-by relation.
    QCOMPARE(f.dataName->accessibleName(), QStringLiteral(u"انتخاب كتاب"));
    bool labelled = false;
    for (const auto &[other, relation] :
         QAccessible::queryAccessibleInterface(f.dataName)->relations(QAccessible::Label))
        labelled = labelled || other->object() == f.Label9;
    QVERIFY(labelled);
    QCOMPARE(f.Label8->buddy(), f.idir);
    // The browse buttons say which field they fill, each its own.
    QSet<QString> browseNames;
    for (QPushButton *b : {f.Command9, f.Command2, f.Command5, f.Command6, f.Command7, f.Command8, f.Command1}) {
        const QString name = spokenName(b);
        QVERIFY2(isPersian(name), qPrintable(name));
        browseNames.insert(name);
    }
    QCOMPARE(browseNames.size(), 7);
    for (QPushButton *b : {f.Command3, f.Command4, f.Command10})
        QVERIFY(isPersian(spokenName(b)));
    // The EPUB command lives on a right-click: the export button tells of it.
    QVERIFY(!QAccessible::queryAccessibleInterface(f.Command10)->text(QAccessible::Description).isEmpty());
}

void TestAccessibility::pickersAndHelpAreNamed()
{
    TempProgram tp;
    Form2 folders;
    Form5 files;
    Form4 help(tp.path());
    for (QWidget *w : std::initializer_list<QWidget *>{&folders, &files, &help}) {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY2(unnamedControls(w).isEmpty(), qPrintable(w->objectName() + ": " + unnamedReport(w)));
        saveShot(w, QString::fromLatin1(w->metaObject()->className()).section(u':', -1).toLower());
        for (QWidget *c : w->findChildren<QWidget *>()) {
            if (c->focusPolicy() != Qt::NoFocus && !c->focusProxy() && c->isVisible()
                && !qobject_cast<QAbstractButton *>(c)) {
                // A list is not announced by its first row alone.
                QVERIFY2(!c->accessibleName().isEmpty(), qPrintable(c->objectName()));
                QVERIFY(isPersian(c->accessibleName()));
            }
        }
    }
    QCOMPARE(files.Label5->buddy(), files.File1);
}

void TestAccessibility::messageBoxesAreSpokenAndWideEnough()
{
    const QString text = messageText(15);
    for (const auto &[buttons, icon] : {std::pair{QMessageBox::StandardButtons(QMessageBox::Ok), QMessageBox::NoIcon},
                                        std::pair{QMessageBox::Yes | QMessageBox::No, QMessageBox::Question}}) {
        const auto box = makeMessageBox(text, buttons, icon, nullptr);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(box.get());
        QVERIFY(iface);
        QCOMPARE(iface->text(QAccessible::Name), productName());
        QCOMPARE(iface->text(QAccessible::Description), text);
        QCOMPARE(box->layoutDirection(), Qt::RightToLeft);
        QVERIFY2(unnamedControls(box.get()).isEmpty(), qPrintable(unnamedReport(box.get())));
        // Nothing but the caption in a button: no theme icon to push it out.
        for (QAbstractButton *button : box->buttons()) {
            QVERIFY(button->icon().isNull());
            QVERIFY(isPersian(button->text()));
        }
    }

    // The shortest box there is: one word. Its caption must not be cut by
    // the title bar, which also holds the window's buttons.
    const auto box = makeMessageBox(QStringLiteral(u"!"), QMessageBox::Ok, QMessageBox::NoIcon, nullptr);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    const int caption = box->fontMetrics().horizontalAdvance(box->windowTitle());
    const int titleBarButtons = 3 * 32;
    QVERIFY2(box->width() >= caption + titleBarButtons + 40,
             qPrintable(QStringLiteral("box %1 px for a caption of %2 px").arg(box->width()).arg(caption)));
    saveShot(box.get(), "message-box");
}

void TestAccessibility::exportMenuOpensLeftOfThePointer()
{
    MainWindow shown;
    Form1 &f = *shown.f;
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    const QPoint local = f.Command10->rect().center();
    const QPoint pointer = f.Command10->mapToGlobal(local);
    QContextMenuEvent event(QContextMenuEvent::Mouse, local, pointer);
    QApplication::sendEvent(f.Command10, &event);
    QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    const QRect menuAt = menu->geometry();
    const Qt::LayoutDirection direction = menu->layoutDirection();
    const QString item = menu->actions().value(0) ? menu->actions().value(0)->text() : QString();
    menu->close();
    QVERIFY2(menuAt.isValid(), "no menu opened");
    QCOMPARE(item, QStringLiteral(u"خروجي EPUB"));
    QCOMPARE(direction, Qt::RightToLeft);
    // In a right-to-left window the menu hangs from the pointer to the left.
    QVERIFY2(menuAt.right() <= pointer.x() + 1 && menuAt.right() >= pointer.x() - 2,
             qPrintable(QStringLiteral("menu %1..%2, pointer at %3")
                            .arg(menuAt.left()).arg(menuAt.right()).arg(pointer.x())));
}

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
