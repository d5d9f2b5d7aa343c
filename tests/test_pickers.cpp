// The folder and file pickers and their drive, folder and file lists.
#include "core/common/filesystem.h"
#include "core/common/folder_listing.h"
#include "core/common/paths.h"
#include "core/project/pickerstart.h"
#include "support/tempprogram.h"
#include "ui/shell/dirlist.h"
#include "ui/shell/drivelist.h"
#include "ui/shell/filelist.h"
#include "ui/shell/form2.h"
#include "ui/shell/form5.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStorageInfo>
#include <QtTest>

#include <unistd.h>

using namespace zorvel;
using zorvel::testing::TempProgram;

namespace {

// A folder like a program folder: pictures and sounds in mixed case, a
// subfolder, a folder that looks like a picture, a hidden picture.
void fillPictureFolder(const TempProgram &folder)
{
    for (const char *name :
        { "a.jpg", "B.JPG", "c.gif", "d.Bmp", "e.png", "song.mp3", ".hidden.jpg", "Pics/Cover.jpg",
            "Pics/inner/x.jpg", "alpha/readme.txt", "Gamma/g.gif" })
        folder.write(QString::fromLatin1(name), QByteArray("x"));
    folder.mkdir(QStringLiteral("looks.jpg"));
}

// What the main window does before it shows a picker.
void prepare(Form2 &picker, const QString &folder)
{
    picker.Drive1->setDrive(driveOf(folder));
    picker.Dir1->setPath(folder);
}

void prepare(Form5 &picker, const QString &folder, const QString &pattern)
{
    picker.Drive1->setDrive(driveOf(folder));
    picker.Dir1->setPath(folder);
    picker.File1->setPath(folder);
    picker.File1->setPattern(pattern);
}

// What the main window reads when a picker reports a choice.
QString chosenFile(const Form5 &picker)
{
    return DoSlash(picker.File1->path()) + picker.File1->fileName();
}

QStringList listed(const QListWidget &list)
{
    QStringList names;
    for (int row = 0; row < list.count(); ++row)
        names.append(list.item(row)->text());
    return names;
}

int rowOf(const QListWidget &list, const QString &text)
{
    const QList<QListWidgetItem *> found = list.findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? -1 : list.row(found.first());
}

void doubleClickRow(QListWidget &list, int row)
{
    // A double click arrives as a click followed by a second press.
    const QPoint at = list.visualItemRect(list.item(row)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
}

// The widgets that Tab visits, starting at the first one, count in all.
QList<QWidget *> tabOrder(QWidget *first, int count)
{
    QList<QWidget *> order { first };
    for (QWidget *w = first->nextInFocusChain(); order.size() < count; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled())
            order.append(w);
    }
    return order;
}

} // namespace

class TestPickers : public QObject {
    Q_OBJECT
private slots:
    void folderPathSpelling_data();
    void folderPathSpelling();
    void folderChainRunsFromRoot();
    void openableFolderClimbsToWhatExists();
    void patterns_data();
    void patterns();
    void matchingFilesSkipsFoldersAndHiddenFiles();
    void drivesAndTheDriveOfAPath();

    void folderListOpensOnlyWhatIsActivated();
    void folderListOfMissingOrUnreadableDrive();
    void unreadableFolderListsNothing();
    void driveChangeOpensItsRoot();

    void folderPickerChoice_data();
    void folderPickerChoice();
    void enterInFolderListOpensWithoutConfirming();
    void filePickerChoice_data();
    void filePickerChoice();
    void fileInDriveRootHasOneSeparator();
    void doubleClickEqualsButton();
    void filePickerPatterns_data();
    void filePickerPatterns();
    void fileListFollowsFolderList();
    void closingWithoutConfirmEmitsNothing();
    void confirmEmitsOnceHidesAndSurvives();
    void pickerWindows();
    void opensCentredOnOwner();
    void startFolderOrder_data();
    void startFolderOrder();
};

void TestPickers::folderPathSpelling_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("root");
#ifdef Q_OS_WIN
    QTest::newRow("trailing separator dropped") << "C:\\Books\\"
                                                << "C:\\Books" << false;
    QTest::newRow("forward separators made native") << "C:/Books/x"
                                                    << "C:\\Books\\x" << false;
    QTest::newRow("drive root keeps separator") << "C:\\"
                                                << "C:\\" << true;
    QTest::newRow("bare drive letter is its root") << "C:"
                                                   << "C:\\" << true;
    QTest::newRow("dots cleaned") << "C:\\a\\.\\b\\.."
                                  << "C:\\a" << false;
#else
    QTest::newRow("trailing separator dropped") << "/tmp/Books/"
                                                << "/tmp/Books" << false;
    QTest::newRow("root keeps separator") << "/"
                                          << "/" << true;
    QTest::newRow("doubled separators and dots cleaned") << "//tmp//a/./b/.."
                                                         << "/tmp/a" << false;
    QTest::newRow("backslash is a name character") << "/tmp/a\\b"
                                                   << "/tmp/a\\b" << false;
#endif
    QTest::newRow("empty stays empty") << ""
                                       << "" << false;
}

void TestPickers::folderPathSpelling()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QFETCH(bool, root);
    QCOMPARE(nativeFolderPath(input), expected);
    QCOMPARE(isFolderRoot(input), root);
}

void TestPickers::folderChainRunsFromRoot()
{
#ifdef Q_OS_WIN
    QCOMPARE(folderChain("C:\\a\\b"), QStringList({ "C:\\", "C:\\a", "C:\\a\\b" }));
    QCOMPARE(folderChain("C:\\"), QStringList({ "C:\\" }));
#else
    QCOMPARE(folderChain("/a/b/c/"), QStringList({ "/", "/a", "/a/b", "/a/b/c" }));
    QCOMPARE(folderChain("/"), QStringList({ "/" }));
#endif
    QVERIFY(folderChain("").isEmpty());
}

void TestPickers::openableFolderClimbsToWhatExists()
{
    const TempProgram temp(false);
    fillPictureFolder(temp);
    QCOMPARE(openableFolder(temp.file("Pics/inner")), nativeFolderPath(temp.file("Pics/inner")));
    QCOMPARE(openableFolder(temp.file("Pics/gone/deeper")), nativeFolderPath(temp.file("Pics")));
    // A file is not a folder to open.
    QCOMPARE(openableFolder(temp.file("a.jpg")), nativeFolderPath(temp.path()));
}

void TestPickers::patterns_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("matches");
    QTest::newRow("jpg") << "*.jpg"
                         << "Cover.jpg" << true;
    QTest::newRow("jpg upper case name") << "*.jpg"
                                         << "COVER.JPG" << true;
    QTest::newRow("upper case pattern") << "*.JPG"
                                        << "cover.jpg" << true;
    QTest::newRow("jpeg is not jpg") << "*.jpg"
                                     << "cover.jpeg" << false;
    QTest::newRow("extension must end the name") << "*.jpg"
                                                 << "cover.jpg.txt" << false;
    QTest::newRow("gif in picture list") << "*.gif;*.jpg;*.bmp"
                                         << "a.GIF" << true;
    QTest::newRow("bmp in picture list") << "*.gif;*.jpg;*.bmp"
                                         << "a.Bmp" << true;
    QTest::newRow("png not in picture list") << "*.gif;*.jpg;*.bmp"
                                             << "a.png" << false;
    QTest::newRow("blanks around patterns") << " *.gif ; *.jpg "
                                            << "x.jpg" << true;
    QTest::newRow("flv") << "*.flv"
                         << "film.FLV" << true;
    QTest::newRow("star dot star takes names without dot") << "*.*"
                                                           << "README" << true;
    QTest::newRow("empty pattern takes everything") << ""
                                                    << "anything" << true;
}

void TestPickers::patterns()
{
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, matches);
    QCOMPARE(matchesPatterns(name, splitPatterns(pattern)), matches);
}

void TestPickers::matchingFilesSkipsFoldersAndHiddenFiles()
{
    const TempProgram temp(false);
    fillPictureFolder(temp);
    QCOMPARE(matchingFiles(temp.path(), "*.jpg"), QStringList({ "a.jpg", "B.JPG" }));
    QCOMPARE(matchingFiles(temp.path(), "*.*"),
        QStringList({ "a.jpg", "B.JPG", "c.gif", "d.Bmp", "e.png", "song.mp3" }));
    QVERIFY(matchingFiles(temp.file("missing"), "*.*").isEmpty());
    QCOMPARE(subfolderNames(temp.path()), QStringList({ "alpha", "Gamma", "looks.jpg", "Pics" }));
    QVERIFY(subfolderNames(temp.file("missing")).isEmpty());
}

void TestPickers::drivesAndTheDriveOfAPath()
{
    const QStringList drives = availableDrives();
    QVERIFY(!drives.isEmpty());
#ifndef Q_OS_WIN
    QCOMPARE(drives.first(), QStringLiteral("/"));
#endif
    QCOMPARE(drives.size(), QSet<QString>(drives.begin(), drives.end()).size());
    for (const QString &drive : drives)
        QVERIFY2(isFolderRoot(drive) || QFileInfo(drive).isDir(), qPrintable(drive));

    const TempProgram temp(false);
    const QString drive = driveOf(temp.path());
    QCOMPARE(drive, nativeFolderPath(QStorageInfo(temp.path()).rootPath()));
    QVERIFY(temp.path().startsWith(QDir::fromNativeSeparators(drive)));
    QCOMPARE(driveOf(temp.file("not/there/yet")), drive);
}

void TestPickers::folderListOpensOnlyWhatIsActivated()
{
    const TempProgram temp(false);
    fillPictureFolder(temp);
    const QString top = nativeFolderPath(temp.path());

    DirList list;
    list.resize(200, 300);
    list.show();
    QSignalSpy changes(&list, &DirList::pathChanged);
    list.setPath(temp.path() + u'/');
    QCOMPARE(list.path(), top);
    QCOMPARE(changes.count(), 1);

    // Ancestors root first, then the subfolders; the open folder highlighted.
    const QStringList chain = folderChain(top);
    QCOMPARE(list.count(), chain.size() + 4);
    QCOMPARE(list.entryPath(0), chain.first());
    QCOMPARE(list.currentRow(), chain.size() - 1);
    QCOMPARE(list.entryPath(list.currentRow()), top);
    QCOMPARE(
        listed(list).mid(chain.size()), QStringList({ "alpha", "Gamma", "looks.jpg", "Pics" }));

    // Highlighting is not opening.
    const int pics = rowOf(list, "Pics");
    list.setCurrentRow(pics);
    QCOMPARE(list.path(), top);
    QCOMPARE(changes.count(), 1);

    // Enter opens the highlighted subfolder.
    QTest::keyClick(&list, Qt::Key_Return);
    QCOMPARE(list.path(), nativeFolderPath(temp.file("Pics")));
    QCOMPARE(changes.count(), 2);
    QCOMPARE(listed(list).last(), QStringLiteral("inner"));

    // A double click on an ancestor goes back up.
    doubleClickRow(list, chain.size() - 1);
    QCOMPARE(list.path(), top);
    QCOMPARE(changes.count(), 3);
}

void TestPickers::folderListOfMissingOrUnreadableDrive()
{
    const TempProgram temp(false);
    fillPictureFolder(temp);
    DirList list;
    list.setPath(temp.file("Pics/no/such/folder"));
    QCOMPARE(list.path(), nativeFolderPath(temp.file("Pics")));

#ifdef Q_OS_WIN
    // A drive letter that is not there: its bare root, nothing below it.
    const QStringList present = availableDrives();
    QString absent;
    for (char letter = 'Z'; letter > 'C' && absent.isEmpty(); --letter) {
        const QString root = QString(QChar(letter)) + QStringLiteral(":\\");
        if (!present.contains(root))
            absent = root;
    }
    if (!absent.isEmpty()) {
        list.setPath(absent);
        QCOMPARE(list.path(), absent);
        QCOMPARE(list.count(), 1);
    }
#endif
}

void TestPickers::unreadableFolderListsNothing()
{
    if (::geteuid() == 0)
        QSKIP("running as root: permissions do not stop reading");
    const TempProgram temp(false);
    fillPictureFolder(temp);
    const QString locked = temp.file("Pics");
    QFile::setPermissions(locked, QFileDevice::Permissions());
    Form5 picker;
    prepare(picker, locked, "*.jpg");
    QFile::setPermissions(
        locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(picker.Dir1->path(), nativeFolderPath(locked));
    QCOMPARE(picker.Dir1->count(), folderChain(locked).size());
    QCOMPARE(picker.File1->count(), 0);
}

void TestPickers::driveChangeOpensItsRoot()
{
    const TempProgram temp(false);
    fillPictureFolder(temp);
    Form5 picker;
    prepare(picker, temp.path(), "*.*");
    QSignalSpy driveChanges(picker.Drive1, &DriveList::driveChanged);

    // The same drive again is no change.
    picker.Drive1->setDrive(driveOf(temp.path()));
    QCOMPARE(driveChanges.count(), 0);
    QCOMPARE(picker.Dir1->path(), nativeFolderPath(temp.path()));

    // A volume the list did not hold is added and opened at its root.
    picker.Drive1->setDrive(temp.file("Pics"));
    QCOMPARE(driveChanges.count(), 1);
    QCOMPARE(picker.Drive1->drive(), nativeFolderPath(temp.file("Pics")));
    QCOMPARE(picker.Drive1->currentData().toString(), picker.Drive1->drive());
    QCOMPARE(picker.Dir1->path(), nativeFolderPath(temp.file("Pics")));
    QCOMPARE(listed(*picker.File1), QStringList({ "Cover.jpg" }));

    // Picking the first drive by hand opens its root.
    picker.Drive1->setCurrentIndex(0);
    const QString first = picker.Drive1->itemData(0).toString();
    QCOMPARE(picker.Drive1->drive(), first);
    QCOMPARE(picker.Dir1->path(), first);
    QCOMPARE(picker.File1->path(), first);

    // A volume that has gone away leaves the lists readable.
    picker.Drive1->setDrive(temp.file("vanished-volume"));
    QVERIFY(QFileInfo(picker.Dir1->path()).isDir());
    QVERIFY(picker.File1->fileName().isEmpty());
}

void TestPickers::folderPickerChoice_data()
{
    QTest::addColumn<QString>("open"); // relative to the temporary folder; "/" is the root
    QTest::addColumn<QString>("highlight"); // a subfolder only highlighted before confirming
    QTest::addColumn<QString>("expected");
    QTest::newRow("folder has no trailing separator") << "Pics/"
                                                      << ""
                                                      << "Pics";
    QTest::newRow("highlighted subfolder is not chosen") << ""
                                                         << "Pics"
                                                         << "";
    QTest::newRow("drive root keeps its separator") << "/"
                                                    << ""
                                                    << "/";
}

void TestPickers::folderPickerChoice()
{
    QFETCH(QString, open);
    QFETCH(QString, highlight);
    QFETCH(QString, expected);
    const TempProgram temp(false);
    fillPictureFolder(temp);
    const auto resolve = [&](const QString &relative) {
        if (relative == QLatin1String("/"))
            return driveOf(temp.path());
        return relative.isEmpty() ? temp.path() : temp.file(relative);
    };

    Form2 picker;
    prepare(picker, resolve(open));
    picker.show();
    if (!highlight.isEmpty())
        picker.Dir1->setCurrentRow(rowOf(*picker.Dir1, highlight));

    QStringList chosen;
    connect(&picker, &Form2::confirmed, &picker, [&] { chosen.append(picker.Dir1->path()); });
    picker.btn[0]->click();

    const QString want = expected == QLatin1String("/")
        ? resolve(expected)
        : QDir::toNativeSeparators(resolve(expected));
    QCOMPARE(chosen, QStringList({ want }));
    QVERIFY(picker.isHidden());
}

void TestPickers::enterInFolderListOpensWithoutConfirming()
{
    const TempProgram temp(false);
    fillPictureFolder(temp);
    Form2 picker;
    prepare(picker, temp.path());
    picker.show();
    QSignalSpy confirmations(&picker, &Form2::confirmed);
    picker.Dir1->setCurrentRow(rowOf(*picker.Dir1, "Pics"));
    QTest::keyClick(picker.Dir1, Qt::Key_Return);
    QCOMPARE(picker.Dir1->path(), nativeFolderPath(temp.file("Pics")));
    QCOMPARE(confirmations.count(), 0);
    QVERIFY(picker.isVisible());
}

void TestPickers::filePickerChoice_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("select");
    QTest::addColumn<QString>("expected");
    QTest::newRow("file in a folder") << "Pics"
                                      << "Cover.jpg"
                                      << "Pics/Cover.jpg";
    QTest::newRow("no file selected gives the folder and a separator") << "Pics"
                                                                       << ""
                                                                       << "Pics/";
}

void TestPickers::filePickerChoice()
{
    QFETCH(QString, folder);
    QFETCH(QString, select);
    QFETCH(QString, expected);
    const TempProgram temp(false);
    fillPictureFolder(temp);

    Form5 picker;
    prepare(picker, temp.file(folder), "*.jpg");
    picker.show();
    if (!select.isEmpty())
        picker.File1->setCurrentRow(rowOf(*picker.File1, select));

    QStringList chosen;
    connect(&picker, &Form5::confirmed, &picker, [&] { chosen.append(chosenFile(picker)); });
    picker.btn[0]->click();
    QCOMPARE(chosen, QStringList({ QDir::toNativeSeparators(temp.file(expected)) }));
    QVERIFY(picker.isHidden());
}

void TestPickers::fileInDriveRootHasOneSeparator()
{
    // The root of the drive holding the temporary folder; the join of the
    // root and a name must not double the separator.
    const TempProgram temp(false);
    const QString root = folderRootOf(temp.path());
    Form5 picker;
    prepare(picker, root, "*.jpg");
    QCOMPARE(picker.File1->path(), root);
    // The list as it reads when the root holds Cover.jpg (nothing is written there).
    picker.File1->addItem(QStringLiteral("Cover.jpg"));
    picker.File1->setCurrentRow(picker.File1->count() - 1);
    QCOMPARE(chosenFile(picker), root + QStringLiteral("Cover.jpg"));

    // And with a file the root really holds, when it has one.
    prepare(picker, root, "*");
    if (picker.File1->count() > 0) {
        picker.File1->setCurrentRow(0);
        QVERIFY(QFileInfo(chosenFile(picker)).isFile());
        QCOMPARE(chosenFile(picker), root + picker.File1->fileName());
    }
}

void TestPickers::doubleClickEqualsButton()
{
    const TempProgram temp(false);
    fillPictureFolder(temp);
    QStringList byButton;
    QStringList byDoubleClick;
    for (bool doubleClick : { false, true }) {
        Form5 picker;
        prepare(picker, temp.path(), "*.gif;*.jpg;*.bmp");
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        QStringList &chosen = doubleClick ? byDoubleClick : byButton;
        connect(&picker, &Form5::confirmed, &picker, [&] { chosen.append(chosenFile(picker)); });
        const int row = rowOf(*picker.File1, "c.gif");
        if (doubleClick) {
            doubleClickRow(*picker.File1, row);
        } else {
            picker.File1->setCurrentRow(row);
            picker.btn[0]->click();
        }
        QVERIFY(picker.isHidden());
    }
    QCOMPARE(byButton, QStringList({ QDir::toNativeSeparators(temp.file("c.gif")) }));
    QCOMPARE(byDoubleClick, byButton);
}

void TestPickers::filePickerPatterns_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("book picture: jpg only") << "*.jpg" << QStringList { "a.jpg", "B.JPG" };
    QTest::newRow("paragraph picture: gif jpg bmp")
        << "*.gif;*.jpg;*.bmp" << QStringList { "a.jpg", "B.JPG", "c.gif", "d.Bmp" };
    QTest::newRow("music: mp3") << "*.mp3" << QStringList { "song.mp3" };
    QTest::newRow("film: none there") << "*.flv" << QStringList {};
}

void TestPickers::filePickerPatterns()
{
    QFETCH(QString, pattern);
    QFETCH(QStringList, files);
    const TempProgram temp(false);
    fillPictureFolder(temp);
    Form5 picker;
    // The picker is shared: a previous request with another pattern must not linger.
    prepare(picker, temp.file("Gamma"), "*.*");
    prepare(picker, temp.path(), pattern);
    QCOMPARE(picker.File1->pattern(), pattern);
    QCOMPARE(listed(*picker.File1), files);
    QVERIFY(picker.File1->fileName().isEmpty());
}

void TestPickers::fileListFollowsFolderList()
{
    const TempProgram temp(false);
    fillPictureFolder(temp);
    Form5 picker;
    prepare(picker, temp.path(), "*.jpg");
    picker.show();
    picker.File1->setCurrentRow(0);
    QCOMPARE(picker.File1->fileName(), QStringLiteral("a.jpg"));

    picker.Dir1->setCurrentRow(rowOf(*picker.Dir1, "Pics"));
    QCOMPARE(listed(*picker.File1), QStringList({ "a.jpg", "B.JPG" })); // highlight only
    doubleClickRow(*picker.Dir1, picker.Dir1->currentRow());
    QCOMPARE(picker.File1->path(), nativeFolderPath(temp.file("Pics")));
    QCOMPARE(listed(*picker.File1), QStringList({ "Cover.jpg" }));
    QVERIFY(picker.File1->fileName().isEmpty()); // a new folder starts unselected
}

void TestPickers::closingWithoutConfirmEmitsNothing()
{
    const TempProgram temp(false);
    fillPictureFolder(temp);
    Form2 folders;
    Form5 files;
    prepare(folders, temp.path());
    prepare(files, temp.path(), "*.jpg");
    QSignalSpy folderSpy(&folders, &Form2::confirmed);
    QSignalSpy fileSpy(&files, &Form5::confirmed);

    files.File1->setCurrentRow(0);
    for (QDialog *picker : { static_cast<QDialog *>(&folders), static_cast<QDialog *>(&files) }) {
        picker->show();
        picker->close();
        QVERIFY(picker->isHidden());
        picker->show();
        QTest::keyClick(picker, Qt::Key_Escape);
        QVERIFY(picker->isHidden());
    }
    QCOMPARE(folderSpy.count(), 0);
    QCOMPARE(fileSpy.count(), 0);
}

void TestPickers::confirmEmitsOnceHidesAndSurvives()
{
    const TempProgram temp(false);
    fillPictureFolder(temp);
    QWidget owner;
    QPointer<Form2> folders = new Form2(&owner);
    QPointer<Form5> files = new Form5(&owner);
    QSignalSpy folderSpy(folders.data(), &Form2::confirmed);
    QSignalSpy fileSpy(files.data(), &Form5::confirmed);

    for (int round = 1; round <= 2; ++round) {
        prepare(*folders, temp.path());
        prepare(*files, temp.path(), "*.jpg");
        folders->show();
        files->show();
        folders->btn[0]->click();
        files->btn[0]->click();
        QCoreApplication::processEvents();
        QVERIFY(folders && files); // hidden, not destroyed
        QVERIFY(folders->isHidden() && files->isHidden());
        QCOMPARE(folderSpy.count(), round);
        QCOMPARE(fileSpy.count(), round);
    }
}

void TestPickers::pickerWindows()
{
    Form2 folders;
    Form5 files;
    for (QDialog *picker : { static_cast<QDialog *>(&folders), static_cast<QDialog *>(&files) }) {
        const Qt::WindowFlags flags = picker->windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(picker->minimumSize(), picker->maximumSize());
        QCOMPARE(picker->layoutDirection(), Qt::RightToLeft);
        // Every control inside the window, and every caption fits its control.
        for (QWidget *child : picker->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            QVERIFY2(picker->rect().contains(child->geometry()), qPrintable(child->objectName()));
    }
    QCOMPARE(folders.windowTitle(), QStringLiteral("Select folder"));
    QCOMPARE(files.windowTitle(), QStringLiteral("Select file"));
    QCOMPARE(folders.size(), QSize(3315 / 15, 3945 / 15));
    QCOMPARE(files.size(), QSize(5400 / 15, 3615 / 15));

    // Folder picker: full width, top to bottom; Tab runs btn, Dir1, Drive1.
    QCOMPARE(folders.btn[0]->text(), QStringLiteral(u"شاخه مقصد را انتخاب كنيد!"));
    QCOMPARE(folders.Dir1->height(), 3015 / 15);
    for (QWidget *w : { static_cast<QWidget *>(folders.Drive1),
             static_cast<QWidget *>(folders.Dir1), static_cast<QWidget *>(folders.btn[0]) })
        QCOMPARE(w->width(), folders.width());
    QVERIFY(folders.Drive1->geometry().bottom() < folders.Dir1->geometry().top());
    QVERIFY(folders.Dir1->geometry().bottom() < folders.btn[0]->geometry().top());
    QVERIFY(folders.btn[0]->sizeHint().width() <= folders.btn[0]->width());
    QCOMPARE(tabOrder(folders.btn[0], 4),
        QList<QWidget *>({ folders.btn[0], folders.Dir1, folders.Drive1, folders.btn[0] }));
    QCOMPARE(folders.focusWidget(), folders.btn[0]);

    // File picker: folders on the left, files on the right, button centred below.
    QCOMPARE(files.Label5->text(), QStringLiteral(u"فهرست فايلهاي قابل انتخاب:"));
    QCOMPARE(files.btn[0]->text(), QStringLiteral(u"فايل مورد نظر را انتخاب كنيد!"));
    QVERIFY(files.Drive1->geometry().bottom() < files.Dir1->geometry().top());
    QVERIFY(files.Label5->geometry().bottom() < files.File1->geometry().top());
    QVERIFY(files.Dir1->geometry().right() < files.File1->geometry().left());
    QVERIFY(files.Drive1->geometry().right() < files.Label5->geometry().left());
    QVERIFY(qMax(files.Dir1->geometry().bottom(), files.File1->geometry().bottom())
        < files.btn[0]->geometry().top());
    QVERIFY(qAbs(files.btn[0]->geometry().center().x() - files.rect().center().x()) <= 1);
    QVERIFY(files.btn[0]->sizeHint().width() <= files.btn[0]->width());
    QVERIFY(files.Label5->sizeHint().width() <= files.Label5->width());
    QCOMPARE(tabOrder(files.Drive1, 5),
        QList<QWidget *>({ files.Drive1, files.Dir1, files.File1, files.btn[0], files.Drive1 }));
    QCOMPARE(files.focusWidget(), static_cast<QWidget *>(files.Drive1));
}

void TestPickers::opensCentredOnOwner()
{
    QWidget owner;
    owner.setGeometry(200, 150, 700, 500);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    auto *folders = new Form2(&owner);
    auto *files = new Form5(&owner);
    for (QDialog *picker : { static_cast<QDialog *>(folders), static_cast<QDialog *>(files) }) {
        picker->show();
        QVERIFY(QTest::qWaitForWindowExposed(picker));
        const QPoint offset = picker->frameGeometry().center() - owner.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 4,
            qPrintable(QStringLiteral("off by %1,%2").arg(offset.x()).arg(offset.y())));
        picker->hide();
    }
}

void TestPickers::startFolderOrder_data()
{
    QTest::addColumn<QString>("field");    // relative to the temporary folder; "" for none
    QTest::addColumn<bool>("folderField");
    QTest::addColumn<QString>("last");     // relative; "" for none
    QTest::addColumn<QString>("expected"); // relative; "." for the program folder
    QTest::addColumn<QString>("selected");
    QTest::newRow("file in an existing folder") << "Pics/a.jpg" << false << "Songs" << "Pics" << "a.jpg";
    QTest::newRow("missing file, existing folder") << "Pics/gone.jpg" << false << "" << "Pics" << "gone.jpg";
    QTest::newRow("bare folder left by a confirm without a file") << "Pics/" << false << "Songs" << "Pics" << "";
    QTest::newRow("file in a missing folder: the last one") << "Gone/a.jpg" << false << "Songs" << "Songs" << "";
    QTest::newRow("missing folder, missing last: program folder") << "Gone/a.jpg" << false << "Gone2" << "." << "";
    QTest::newRow("empty field: the last one") << "" << false << "Songs" << "Songs" << "";
    QTest::newRow("folder field") << "Pics" << true << "Songs" << "Pics" << "";
    QTest::newRow("missing folder field") << "Export" << true << "" << "." << "";
}

void TestPickers::startFolderOrder()
{
    QFETCH(QString, field);
    QFETCH(bool, folderField);
    QFETCH(QString, last);
    QFETCH(QString, expected);
    QFETCH(QString, selected);
    TempProgram tp(false);
    tp.write("Pics/a.jpg", "j");
    tp.write("Songs/b.mp3", "m");
    const QString sep(folderSeparator());
    auto abs = [&](const QString &rel) {
        return rel.isEmpty() ? QString() : QDir::toNativeSeparators(tp.path() + u'/' + rel);
    };
    const QString fieldPath = field.endsWith(u'/') ? abs(field.chopped(1)) + sep : abs(field);
    const QString start = pickerStartFolder(FileSystem(), fieldPath, folderField, abs(last), tp.path());
    QCOMPARE(start, expected == "." ? tp.path() : abs(expected));
    if (!folderField)
        QCOMPARE(pickerStartFile(fieldPath, start), selected);
}

QTEST_MAIN(TestPickers)
#include "test_pickers.moc"
