#include "ui/shell/form4.h"

#include "core/common/filesystem.h"
#include "core/common/paths.h"
#include "ui/common/uistyle.h"
#include "ui/richtext/richtextbox.h"

#include <QGuiApplication>
#include <QScreen>

namespace zorvel {

namespace {

constexpr int kClientWidth = tw(10365);
constexpr int kClientHeight = tw(7620);
constexpr int kMargin = tw(120);

} // namespace

Form4::Form4(const QString &programFolder, QWidget *parent)
    : QDialog(parent,
        Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Help"));
    setLayoutDirection(Qt::RightToLeft);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(kClientWidth, kClientHeight);
    applyFormFont(this);

    Box1 = new RichTextBox(this);
    Box1->setObjectName(QStringLiteral("Box1"));
    Box1->setGeometry(kMargin, kMargin, kClientWidth - 2 * kMargin, kClientHeight - 2 * kMargin);
    Box1->setTextRTF(designContent());
    Box1->setReadOnly(true); // a guide to read; nothing here is kept
    Box1->setAccessibleName(QStringLiteral(u"راهنما"));

    // Nothing here is ever saved; an unreadable file leaves the design content.
    const QString path = helpPath(programFolder);
    if (FileSystem().fileExists(path))
        Box1->LoadFile(path);
    Box1->setSelStart(0);
}

QString Form4::helpPath(const QString &programFolder)
{
    const QChar sep = folderSeparator();
    return DoSlashAlways(programFolder) + QStringLiteral("Resources") + sep
        + QStringLiteral("Help.rtf");
}

// "راهنماي استفاده از نرمافزار", right to left, Tahoma with the Arabic character set.
QString Form4::designContent()
{
    return QStringLiteral(
        "{\\rtf1\\ansi\\ansicpg1256\\deff0\\deflang1065{\\fonttbl{\\f0\\fnil\\fcharset178 "
        "Tahoma;}}\r\n\\viewkind4\\uc1\\pard\\rtlpar\\qr\\f0\\fs20 "
        "\\'d1\\'c7\\'e5\\'e4\\'e3\\'c7\\'ed \\'c7\\'d3\\'ca\\'DD\\'c7\\'cf\\'e5 \\'c7\\'d2 "
        "\\'e4\\'d1\\'e3\\'c7\\'dd\\'d2\\'c7\\'d1\\par\r\n}");
}

void Form4::showEvent(QShowEvent *event)
{
    // Centred on the screen, not on an owner.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}

} // namespace zorvel
