#include "qt_host.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

namespace setup {

std::unique_ptr<QMessageBox> messageBox(
    const QString &title, const QString &text, Host::Icon icon, QWidget *parent)
{
    auto box = std::make_unique<QMessageBox>(
        icon == Host::Icon::Critical ? QMessageBox::Critical : QMessageBox::Warning, title, text,
        QMessageBox::Ok, parent);
    // A screen reader announces the box by its name and reads the
    // description, so both carry what the box says.
    box->setAccessibleName(title);
    box->setAccessibleDescription(text);
    return box;
}

void QtHost::showMessage(const QString &title, const QString &text, Icon icon)
{
    messageBox(title, text, icon, QApplication::activeWindow())->exec();
}

void QtHost::runModal(QDialog &dialog)
{
    dialog.exec();
}

bool QtHost::startProgram(const QString &program, const QString &workingFolder)
{
    const QFileInfo info(program);
    if (!info.isFile())
        return false;
    if (info.isExecutable())
        return QProcess::startDetached(program, {}, workingFolder);
    // A start page or other document opens in the program the system links
    // to its kind.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

void QtHost::endProgram()
{
    m_ended = true;
    QCoreApplication::quit();
}

} // namespace setup
