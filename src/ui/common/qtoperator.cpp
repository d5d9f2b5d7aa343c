#include "ui/common/qtoperator.h"

#include "core/common/messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QSpacerItem>
#include <QMessageBox>

namespace zorvel {

namespace {

QMessageBox::StandardButton showBox(const QString &text, QMessageBox::StandardButtons buttons,
                                    QMessageBox::Icon icon)
{
    const auto box = makeMessageBox(text, buttons, icon, QApplication::activeWindow());
    return static_cast<QMessageBox::StandardButton>(box->exec());
}

} // namespace

std::unique_ptr<QMessageBox> makeMessageBox(const QString &text, QMessageBox::StandardButtons buttons,
                                            QMessageBox::Icon icon, QWidget *parent)
{
    auto box = std::make_unique<QMessageBox>(icon, productName(), text, buttons, parent);
    box->setLayoutDirection(Qt::RightToLeft);
    // The operator reads Persian: the buttons say so too.
    if (QAbstractButton *ok = box->button(QMessageBox::Ok))
        ok->setText(QStringLiteral(u"تاييد"));
    if (QAbstractButton *yes = box->button(QMessageBox::Yes))
        yes->setText(QStringLiteral(u"بله"));
    if (QAbstractButton *no = box->button(QMessageBox::No))
        no->setText(QStringLiteral(u"خير"));
    // Some desktop themes give the box's buttons icons, and in a right-to-left
    // box the icon then pushes the Persian caption out of its button.
    for (QAbstractButton *button : box->buttons())
        button->setIcon(QIcon());
    box->setAccessibleName(box->windowTitle());
    box->setAccessibleDescription(text);
    // A short message makes a narrow box, and the title bar then cuts the
    // caption down to a dot: room for the caption beside the title bar's
    // buttons. QMessageBox sizes itself from its layout, so the room is a
    // spacer in it.
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout())) {
        const int room = box->fontMetrics().horizontalAdvance(box->windowTitle()) * 2 + 200;
        grid->addItem(new QSpacerItem(room, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    return box;
}

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

std::optional<QString> QtOperator::askText(const QString &prompt, const QString &initial)
{
    QInputDialog box(QApplication::activeWindow());
    box.setLayoutDirection(Qt::RightToLeft);
    box.setWindowTitle(productName());
    box.setInputMode(QInputDialog::TextInput);
    box.setLabelText(prompt);
    box.setTextValue(initial);
    box.setOkButtonText(QStringLiteral(u"تاييد"));
    box.setCancelButtonText(QStringLiteral(u"انصراف"));
    box.setAccessibleName(productName());
    box.setAccessibleDescription(prompt);
    // Persian is typed into it: right-aligned like every text field here.
    if (auto *field = box.findChild<QLineEdit *>())
        field->setAlignment(Qt::AlignAbsolute | Qt::AlignRight);
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return box.textValue();
}

} // namespace zorvel
