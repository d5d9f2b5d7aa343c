// What a screen reader finds in the installer: a name on every control of
// every page and of the folder picker, and message boxes that carry their
// title and text.
#include "drive_list.h"
#include "folder_list.h"
#include "form1.h"
#include "form2.h"
#include "messages.h"
#include "picture_button.h"
#include "qt_host.h"
#include "recording_host.h"
#include "setup_fixture.h"
#include "support/accessiblenames.h"
#include "text_files.h"

#include <QAccessible>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSet>
#include <QtTest>

using namespace setup;
using zorvel::testing::captionlessButtonsWithoutName;
using zorvel::testing::spokenName;
using zorvel::testing::unnamedControls;

namespace {

// The controls of `window` a keyboard user reaches (focusable and shown),
// by object name.
QSet<QString> reachable(QWidget *window)
{
    QSet<QString> names;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->focusPolicy() != Qt::NoFocus && !w->focusProxy() && w->isVisibleTo(window)
            && !w->isWindow())
            names << w->objectName();
    }
    return names;
}

// Reachable controls without an accessible name of their own. A combo box
// on X11 is announced by its current row whatever its name, so the spoken
// name alone would not show a missing one there.
QStringList withoutOwnName(QWidget *window)
{
    QStringList missing;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->focusPolicy() != Qt::NoFocus && !w->focusProxy() && w->isVisibleTo(window)
            && !w->isWindow() && w->accessibleName().trimmed().isEmpty())
            missing << QString::fromLatin1(w->metaObject()->className()) + u' ' + w->objectName();
    }
    return missing;
}

QString spokenDescription(QWidget *w)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Description).trimmed() : QString();
}

// The page picture that is shown.
QLabel *shownPage(Form1 &form)
{
    for (QLabel *page : form.Pic) {
        if (page->isVisible())
            return page;
    }
    return nullptr;
}

void checkNamed(QWidget *window, const QSet<QString> &expected)
{
    QVERIFY(window->isVisible());
    // The controls looked at are the ones the page really shows.
    QCOMPARE(reachable(window), expected);
    const QStringList unnamed = unnamedControls(window);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u'\n')));
    const QStringList captionless = captionlessButtonsWithoutName(window);
    QVERIFY2(captionless.isEmpty(), qPrintable(captionless.join(u'\n')));
    const QStringList own = withoutOwnName(window);
    QVERIFY2(own.isEmpty(), qPrintable(own.join(u'\n')));
}

} // namespace

class TestSetupAccessibility : public QObject {
    Q_OBJECT

private slots:
    void pages_everyControlNamed_data();
    void pages_everyControlNamed();
    void picker_everyControlNamed();
    void next_saysInstallWhereItInstalls();
    void browse_saysWhatItOpens();

    void messageBox_titleAndTextSpoken_data();
    void messageBox_titleAndTextSpoken();
    void messageBox_fromAFailedStart();
};

void TestSetupAccessibility::pages_everyControlNamed_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("controls");
    QTest::newRow("opening") << 0 << QStringList { "next", "exit" };
    QTest::newRow("destination")
        << 1 << QStringList { "destination", "browse", "next", "back", "exit" };
    QTest::newRow("installation") << 2 << QStringList { "exit" };
}

void TestSetupAccessibility::pages_everyControlNamed()
{
    QFETCH(int, page);
    QFETCH(QStringList, controls);
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk(), QString());
    Setup setup(fixture);
    QVERIFY(setup.loaded);
    for (int step = 1; step <= page; ++step)
        QTest::mouseClick(setup.form->btn[0], Qt::LeftButton);
    QVERIFY2(setup.host.messages.isEmpty(), qPrintable(setup.host.messages.value(0).text));
    QCOMPARE(setup.form->page, qint16(page));

    checkNamed(setup.form.get(), QSet<QString>(controls.begin(), controls.end()));
    if (QTest::currentTestFailed())
        return;

    // The page's own text is drawn in its picture; the reader gets it too.
    QLabel *shown = shownPage(*setup.form);
    QVERIFY(shown);
    QVERIFY(!spokenName(shown).isEmpty());
    QVERIFY(!spokenDescription(shown).isEmpty());
    QSet<QString> pageNames;
    for (QLabel *picture : setup.form->Pic)
        pageNames << spokenName(picture);
    QCOMPARE(pageNames.size(), 3);
}

void TestSetupAccessibility::picker_everyControlNamed()
{
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk());
    Setup setup(fixture);
    QVERIFY(setup.loaded);
    QTest::mouseClick(setup.form->btn[0], Qt::LeftButton);
    bool checked = false;
    setup.host.onModal = [&](QDialog &dialog) {
        QCOMPARE(&dialog, setup.form->form2);
        checkNamed(&dialog, { "drive", "folders", "useFolder" });
        checked = true;
    };
    QTest::mouseClick(setup.form->bro, Qt::LeftButton);
    QCOMPARE(setup.host.modalCount, 1);
    QVERIFY(checked);
    // The picker is announced by its title.
    QCOMPARE(spokenName(setup.form->form2), QStringLiteral("Select folder"));
}

void TestSetupAccessibility::next_saysInstallWhereItInstalls()
{
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk());
    Setup setup(fixture);
    QVERIFY(setup.loaded);
    PictureButton *next = setup.form->btn[0];
    QCOMPARE(spokenName(next), QStringLiteral("Next"));

    QTest::mouseClick(next, Qt::LeftButton);
    QCOMPARE(setup.form->page, qint16(1));
    QCOMPARE(spokenName(next), QStringLiteral("Install"));
    QCOMPARE(next->toolTip(), QStringLiteral("Install"));
    QVERIFY(spokenDescription(next).contains(QStringLiteral("Copies")));
    QVERIFY(!QFileInfo::exists(fixture.installed()));

    QTest::mouseClick(setup.form->btn[1], Qt::LeftButton);
    QCOMPARE(setup.form->page, qint16(0));
    QCOMPARE(spokenName(next), QStringLiteral("Next"));
    QCOMPARE(next->toolTip(), QStringLiteral("Next"));

    // A failed installation returns to the destination page, where Next
    // installs again.
    QDir(fixture.dir.filePath("cd/Data")).removeRecursively();
    setup.form->getto(1);
    setup.form->getto(2);
    QCOMPARE(setup.host.messages.size(), 1);
    QCOMPARE(setup.form->page, qint16(1));
    QCOMPARE(spokenName(next), QStringLiteral("Install"));
}

void TestSetupAccessibility::browse_saysWhatItOpens()
{
    Fixture fixture;
    fixture.writeUsualCdInf(fixture.disk());
    Setup setup(fixture);
    setup.form->getto(1);
    QCOMPARE(spokenName(setup.form->bro), QStringLiteral("Browse for the installation folder"));
    QCOMPARE(spokenName(setup.form->Text1), QStringLiteral("Installation folder"));
    // The folder itself is the field's value, read after its name.
    QAccessibleInterface *field = QAccessible::queryAccessibleInterface(setup.form->Text1);
    QVERIFY(field);
    QCOMPARE(field->text(QAccessible::Value), fixture.installed());
}

void TestSetupAccessibility::messageBox_titleAndTextSpoken_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    QTest::newRow("critical, one line")
        << cdInfMissingText(QStringLiteral("/cd/Setup/cd.inf")) << int(Host::Icon::Critical);
    QTest::newRow("warning, several lines")
        << installFailedText(copyFailedText(FileError("/disk/Atlas/big.bin", "The disk is full")),
               removedFolderText(QStringLiteral("/disk/Atlas")))
        << int(Host::Icon::Warning);
}

void TestSetupAccessibility::messageBox_titleAndTextSpoken()
{
    QFETCH(QString, text);
    QFETCH(int, icon);
    QVERIFY(text.size() > 10);
    const auto box = messageBox(messageTitle, text, Host::Icon(icon), nullptr);
    box->show();
    QVERIFY(box->isVisible());
    QCOMPARE(box->windowTitle(), messageTitle);
    QCOMPARE(box->text(), text);
    QCOMPARE(box->icon(),
        Host::Icon(icon) == Host::Icon::Critical ? QMessageBox::Critical : QMessageBox::Warning);
    QCOMPARE(box->accessibleName(), messageTitle);
    QCOMPARE(box->accessibleDescription(), text);
    QCOMPARE(spokenName(box.get()), messageTitle);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(box.get());
    QVERIFY(iface);
    QCOMPARE(iface->text(QAccessible::Description), text);
    QCOMPARE(iface->role(), QAccessible::AlertMessage);
    const QStringList unnamed = unnamedControls(box.get());
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u'\n')));
    box->hide();
}

void TestSetupAccessibility::messageBox_fromAFailedStart()
{
    // No cd.inf: the one message setup shows before it ends.
    Fixture fixture;
    Setup setup(fixture);
    QVERIFY(!setup.loaded);
    QCOMPARE(setup.host.messages.size(), 1);
    const RecordingHost::Message &message = setup.host.messages.first();
    const auto box = messageBox(message.title, message.text, message.icon, setup.form.get());
    box->show();
    QCOMPARE(spokenName(box.get()), QStringLiteral("Error!"));
    QCOMPARE(spokenDescription(box.get()), message.text.trimmed());
    QVERIFY(message.text.contains(QStringLiteral("cd.inf")));
    box->hide();
}

QTEST_MAIN(TestSetupAccessibility)
#include "test_setup_accessibility.moc"
