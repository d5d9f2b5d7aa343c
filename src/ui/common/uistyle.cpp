#include "ui/common/uistyle.h"

#include "ui/common/placement.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QEvent>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QTextEdit>
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

QString labelCaption(const QString &labelText)
{
    QString caption = labelText.trimmed();
    caption.remove(u'&');
    while (!caption.isEmpty()
           && (caption.endsWith(u':') || caption.endsWith(QChar(0x200F)) || caption.endsWith(u' ')))
        caption.chop(1);
    return caption.trimmed();
}

void nameAfterLabel(QWidget *field, QLabel *label)
{
    label->setBuddy(field);
    field->setAccessibleName(labelCaption(label->text()));
}

void popupRightToLeft(QMenu *menu, const QPoint &pointer)
{
    menu->setLayoutDirection(Qt::RightToLeft);
    menu->ensurePolished();
    QScreen *screen = QGuiApplication::screenAt(pointer);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(pointer, menu->sizeHint());
    menu->popup(popupTopLeft(pointer, menu->sizeHint(), available));
}

namespace {

// Shows a field's own standard menu in place of the one Qt would open.
class ContextMenuFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ContextMenu)
            return false;
        QMenu *menu = nullptr;
        auto *widget = static_cast<QWidget *>(watched);
        if (auto *line = qobject_cast<QLineEdit *>(widget))
            menu = line->createStandardContextMenu();
        else if (auto *plain = qobject_cast<QPlainTextEdit *>(widget->parentWidget()))
            menu = plain->createStandardContextMenu();
        else if (auto *rich = qobject_cast<QTextEdit *>(widget->parentWidget()))
            menu = rich->createStandardContextMenu();
        if (!menu)
            return false;
        menu->setAttribute(Qt::WA_DeleteOnClose);
        popupRightToLeft(menu, static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    }
};

} // namespace

void rightToLeftContextMenus(const QList<QWidget *> &fields)
{
    for (QWidget *field : fields) {
        QWidget *target = field;
        if (auto *area = qobject_cast<QAbstractScrollArea *>(field))
            target = area->viewport(); // the text boxes get their menu events there
        target->installEventFilter(new ContextMenuFilter(target));
    }
}

} // namespace zorvel
