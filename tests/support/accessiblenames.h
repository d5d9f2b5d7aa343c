#pragma once

// Header only, so that setup's tests (which link nothing of Zorvel) can use
// it too.

#include <QAccessible>
#include <QAbstractButton>
#include <QStringList>
#include <QWidget>

namespace zorvel::testing {

// What a screen reader would announce for the widget: its accessible name.
inline QString spokenName(QWidget *w)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name).trimmed() : QString();
}

// Every control under (and including) `root` that can take the keyboard
// focus, is shown with its window, and that a screen reader would announce
// without a name, as "Class objectName" lines. Controls that hand their
// focus to another (a focus proxy) are judged by that one.
inline QStringList unnamedControls(QWidget *root)
{
    QStringList missing;
    QList<QWidget *> all = root->findChildren<QWidget *>();
    all.prepend(root);
    for (QWidget *w : all) {
        if (w->focusPolicy() == Qt::NoFocus || w->focusProxy() || !w->isVisibleTo(root->window()))
            continue;
        if (w->isWindow() && w != root)
            continue; // another window: walked on its own
        if (spokenName(w).isEmpty())
            missing << QStringLiteral("%1 '%2' at %3,%4 in %5")
                           .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName())
                           .arg(w->mapTo(w->window(), QPoint()).x())
                           .arg(w->mapTo(w->window(), QPoint()).y())
                           .arg(w->window()->objectName());
    }
    return missing;
}

// Picture buttons: a button without a caption must still say what it does.
inline QStringList captionlessButtonsWithoutName(QWidget *root)
{
    QStringList missing;
    for (QAbstractButton *b : root->findChildren<QAbstractButton *>()) {
        if (b->text().isEmpty() && b->accessibleName().trimmed().isEmpty())
            missing << b->objectName();
    }
    return missing;
}

} // namespace zorvel::testing
