#include "form1.h"

#include "cd_inf.h"
#include "drive_list.h"
#include "folder_list.h"
#include "form2.h"
#include "host.h"
#include "install_paths.h"
#include "messages.h"
#include "picture_button.h"
#include "spoken_names.h"
#include "text_files.h"
#include "twips.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>

namespace setup {

Form1::Form1(Host &host, Environment environment, QWidget *parent)
    : QWidget(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
            | Qt::MSWindowsFixedSizeDialogHint)
    , m_host(host)
    , m_environment(std::move(environment))
{
    setFixedSize(twips(5055), twips(2205));
    setWindowIcon(QIcon(QStringLiteral(":/setup/art/icon.png")));

    const char *pictures[]
        = { ":/setup/art/page0.png", ":/setup/art/page1.png", ":/setup/art/page2.png" };
    for (int i = 0; i < 3; ++i) {
        Pic[i] = new QLabel(this);
        Pic[i]->setPixmap(QPixmap(QString::fromLatin1(pictures[i])));
        Pic[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        Pic[i]->setGeometry(twipRect(0, 0, 5055, 1575));
        Pic[i]->setVisible(i == 0);
        Pic[i]->setObjectName(QStringLiteral("page%1").arg(i));
        setSpoken(Pic[i], pageSpoken(i));
    }

    // Only the folder picker changes the destination, so the box only shows it.
    Text1 = new QLineEdit(Pic[1]);
    Text1->setGeometry(twipRect(360, 840, 3855, 375));
    Text1->setReadOnly(true);
    Text1->setObjectName(QStringLiteral("destination"));
    setSpoken(Text1, destinationSpoken());
    bro = new PictureButton(QStringLiteral(":/setup/art/folder.png"), browseSpoken(), Pic[1]);
    bro->setObjectName(QStringLiteral("browse"));
    bro->setGeometry(twipRect(4320, 840, 375, 375));

    btn[0] = new PictureButton(QStringLiteral(":/setup/art/next.png"), nextSpoken(0), this);
    btn[0]->setObjectName(QStringLiteral("next"));
    btn[0]->setGeometry(twipRect(3840, 1680, 1095, 390));
    btn[1] = new PictureButton(QStringLiteral(":/setup/art/back.png"), backSpoken(), this);
    btn[1]->setObjectName(QStringLiteral("back"));
    btn[1]->setGeometry(twipRect(2640, 1680, 1095, 390));
    btn[1]->hide();
    btn[2] = new PictureButton(QStringLiteral(":/setup/art/exit.png"), exitSpoken(), this);
    btn[2]->setObjectName(QStringLiteral("exit"));
    btn[2]->setGeometry(twipRect(120, 1680, 735, 390));
    setTabOrder(btn[0], btn[1]);
    setTabOrder(btn[1], btn[2]);

    Timer1 = new QTimer(this);
    Timer1->setInterval(500);

    form2 = new Form2(*this);

    for (int i = 0; i < 3; ++i)
        connect(btn[i], &QAbstractButton::clicked, this, [this, i] { btn_Click(i); });
    connect(bro, &QAbstractButton::clicked, this, [this] { bro_Click(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
}

void Form1::tell(const QString &text)
{
    m_host.showMessage(messageTitle, text, Host::Icon::Critical);
}

bool Form1::Form_Load()
{
    page = 0;
    infPath = infPathFor(m_environment.programFolder);
    const CdInfLoad load = loadCdInf(infPath);
    if (!load.ok()) {
        tell(load.refusal);
        m_host.endProgram();
        return false;
    }
    cdName = load.values.cdName;
    // A base that means nothing on this system (a drive path read elsewhere)
    // becomes the user's home folder.
    defPath = destinationBase(load.values.defPath);
    folderName = load.values.folderName;
    runFile = load.values.runFile;
    setWindowTitle(cdName + QStringLiteral(" Installer"));
    chek();
    return true;
}

void Form1::showCentered()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
}

QString Form1::itit() const
{
    return installFolder(defPath, cdName);
}

QString Form1::markerPath() const
{
    return markerFilePath(m_environment.markerFolder, cdName);
}

InstallPlan Form1::plan() const
{
    const QString root = m_environment.volumeRootOf
        ? m_environment.volumeRootOf(m_environment.programFolder)
        : QString();
    return makePlan(m_environment.programFolder, root, folderName, itit(), runFile, markerPath());
}

void Form1::getto(int arg)
{
    if (arg < 0 || arg > 2)
        return;
    for (int i = 0; i < 3; ++i) {
        Pic[i]->hide();
        btn[i]->show();
    }
    Pic[arg]->show();
    btn[0]->setSpoken(nextSpoken(arg));
    if (arg == 0)
        btn[1]->hide();
    if (arg == 1)
        Text1->setText(itit());
    if (arg == 2) {
        btn[0]->hide();
        btn[1]->hide();
        page = 2;
        // The operator was told what failed; another folder may do.
        if (!copfol()) {
            getto(1);
            return;
        }
    }
    page = qint16(arg);
    QCoreApplication::processEvents();
}

bool Form1::copfol()
{
    QCoreApplication::processEvents();
    if (m_host.ended())
        return true;
    // The values may have changed since they were checked at the start.
    const QString unsafe = unsafeSection({ cdName, defPath, folderName, runFile });
    if (!unsafe.isEmpty()) {
        tell(unsafeSectionText(
            infPath, unsafe, sectionOf({ cdName, defPath, folderName, runFile }, unsafe)));
        return false;
    }
    const InstallPlan current = plan();
    // A failed installation leaves no marker, so the next start offers the
    // installation again, and nothing is started.
    if (const std::optional<QString> problem = install(current)) {
        tell(*problem);
        return false;
    }
    QCoreApplication::processEvents();
    if (m_host.ended())
        return true;
    RunIt(programPath(current));
    return true;
}

void Form1::chek()
{
    const QString program = rememberedProgram(markerPath());
    if (!program.isEmpty())
        RunIt(program);
}

void Form1::RunIt(const QString &ExFile)
{
    if (ExFile.isEmpty())
        return;
    const QString folder = QDir::toNativeSeparators(QFileInfo(ExFile).absolutePath());
    if (!m_host.startProgram(ExFile, folder)) {
        tell(startFailedText(ExFile));
        return;
    }
    Timer1->start();
}

void Form1::upd()
{
    defPath = form2->Dir1->path();
    Text1->setText(itit());
}

void Form1::btn_Click(int index)
{
    switch (index) {
    case 0:
        getto(page + 1);
        break;
    case 1:
        getto(page - 1);
        break;
    case 2:
        m_host.endProgram();
        break;
    default:
        break;
    }
}

void Form1::bro_Click()
{
    if (folderExists(defPath))
        form2->Dir1->setPath(defPath);
    const QString root
        = m_environment.volumeRootOf ? m_environment.volumeRootOf(form2->Dir1->path()) : QString();
    if (!root.isEmpty())
        form2->Drive1->setDrive(root);
    if (folderExists(defPath))
        form2->Dir1->setPath(defPath);
    m_host.runModal(*form2);
}

void Form1::Timer1_Timer()
{
    Timer1->stop();
    m_host.endProgram();
}

} // namespace setup
