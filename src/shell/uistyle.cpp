#include "shell/uistyle.h"

#include <QApplication>

#include <algorithm>
#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QWidget>

static void registerArtwork()
{
    Q_INIT_RESOURCE(artwork);
}

namespace zorvel {

void initArtwork()
{
    static const bool done = [] {
        registerArtwork();
        return true;
    }();
    Q_UNUSED(done);
}

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(tw(left), tw(top), tw(width), tw(height));
}

QFont formFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"),
                   QStringLiteral("Noto Sans Arabic"), QStringLiteral("Noto Sans")});
    f.setPointSizeF(8.25);
    return f;
}

void applyFormFont(QWidget *w)
{
    w->setFont(formFont());
}

namespace {

const char kPathField[] = "zorvelPathField";

void moveToPathEnd(QLineEdit *field)
{
    if (!field->hasFocus())
        field->setCursorPosition(field->text().size());
}

class TextBoxFocusRule : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut)
            return false;
        auto *field = qobject_cast<QLineEdit *>(watched);
        if (!field)
            return false;
        if (event->type() == QEvent::FocusIn) {
            // After the click that gave the focus has placed the caret.
            QPointer<QLineEdit> guard(field);
            QTimer::singleShot(0, field, [guard] {
                if (guard && guard->hasFocus())
                    guard->selectAll();
            });
        } else if (field->property(kPathField).toBool()) {
            QTimer::singleShot(0, field, [field] { moveToPathEnd(field); });
        }
        return false;
    }
};

} // namespace

void installTextBoxFocusRule()
{
    static QPointer<TextBoxFocusRule> rule;
    if (rule || !qApp)
        return;
    rule = new TextBoxFocusRule(qApp);
    qApp->installEventFilter(rule);
}

void showPathEnd(QLineEdit *field)
{
    field->setProperty(kPathField, true);
    auto follow = [field] {
        field->setToolTip(field->text());
        moveToPathEnd(field);
    };
    QObject::connect(field, &QLineEdit::textChanged, field, follow);
    follow();
}

QPoint contextMenuPosition(const QPoint &pointer, const QSize &menuSize, const QRect &screen,
                           Qt::LayoutDirection direction)
{
    QPoint at = pointer;
    if (direction == Qt::RightToLeft)
        at.rx() -= menuSize.width() - 1;
    if (!screen.isValid())
        return at;
    // Inside the screen, the pointer's side first.
    if (at.x() + menuSize.width() > screen.right() + 1)
        at.setX(screen.right() + 1 - menuSize.width());
    if (at.x() < screen.left())
        at.setX(screen.left());
    if (at.y() + menuSize.height() > screen.bottom() + 1)
        at.setY(std::max(screen.top(), pointer.y() - menuSize.height() + 1));
    if (at.y() < screen.top())
        at.setY(screen.top());
    return at;
}

QString labelCaption(const QString &labelText)
{
    QString caption = labelText.trimmed();
    caption.remove(u'&');
    while (caption.endsWith(u':'))
        caption.chop(1);
    return caption.trimmed();
}

void nameAfterLabel(QWidget *field, QLabel *label)
{
    label->setBuddy(field);
    field->setAccessibleName(labelCaption(label->text()));
}

} // namespace zorvel
