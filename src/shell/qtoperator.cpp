#include "shell/qtoperator.h"

#include "shell/messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>

namespace zorvel {

namespace {

QMessageBox::StandardButton showBox(const QString &text, QMessageBox::StandardButtons buttons,
                                    QMessageBox::Icon icon)
{
    QMessageBox box(icon, productName(), text, buttons, QApplication::activeWindow());
    box.setLayoutDirection(Qt::RightToLeft);
    // The operator reads Persian: the buttons say so too.
    if (QAbstractButton *ok = box.button(QMessageBox::Ok))
        ok->setText(QStringLiteral(u"تاييد"));
    if (QAbstractButton *yes = box.button(QMessageBox::Yes))
        yes->setText(QStringLiteral(u"بله"));
    if (QAbstractButton *no = box.button(QMessageBox::No))
        no->setText(QStringLiteral(u"خير"));
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void QtOperator::message(qint16 code)
{
    showBox(messageText(code), QMessageBox::Ok, QMessageBox::NoIcon);
}

void QtOperator::notice(const QString &text)
{
    showBox(text, QMessageBox::Ok, QMessageBox::NoIcon);
}

bool QtOperator::ask(const QString &text)
{
    return showBox(text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Question)
        == QMessageBox::Yes;
}

void QtOperator::runModal(QDialog &window)
{
    window.exec();
}

} // namespace zorvel
