// The workbench by keyboard: a shortcut for every command, shown in its
// button's tooltip; Enter opens a text in `books` and the editor in `bindex`;
// undo and redo wherever the keyboard is.
#include "ui/workbench/form3.h"

#include <QAction>
#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QPushButton>

namespace zorvel {

namespace {

struct CommandKey {
    int com;
    QKeyCombination keys;
};

// The marking commands by button: the names and the marks first, then the
// signs that join pieces of the book name.
const CommandKey kCommandKeys[] = {
    {0, Qt::CTRL | Qt::Key_1},  {1, Qt::CTRL | Qt::Key_2}, {2, Qt::CTRL | Qt::Key_3},
    {3, Qt::CTRL | Qt::Key_4},  {9, Qt::CTRL | Qt::Key_5}, {10, Qt::CTRL | Qt::Key_6},
    {4, Qt::CTRL | Qt::Key_D},  {11, Qt::CTRL | Qt::Key_S}, {5, Qt::CTRL | Qt::Key_7},
    {6, Qt::CTRL | Qt::Key_8},  {7, Qt::CTRL | Qt::Key_9}, {8, Qt::CTRL | Qt::Key_0},
};

// A tooltip that reads right to left and names the keys.
QString withKeys(const QString &what, const QList<QKeySequence> &keys)
{
    QStringList names;
    for (const QKeySequence &k : keys)
        names << k.toString(QKeySequence::NativeText);
    return what + QStringLiteral(" (") + names.join(QStringLiteral(u"، ")) + QStringLiteral(u")\u200F");
}

} // namespace

void Form3::buildShortcuts()
{
    // Tab leaves the text for the buttons and lists, as everywhere else; a
    // tab character is nothing a book is cut by.
    matn->setTabChangesFocus(true);
    for (const CommandKey &c : kCommandKeys) {
        auto *action = new QAction(this);
        action->setShortcut(QKeySequence(c.keys));
        action->setShortcutContext(Qt::WindowShortcut);
        const int index = c.com;
        connect(action, &QAction::triggered, this, [this, index] { Com_Click(index); });
        addAction(action);
        comAction[index] = action;
        // A sign's caption says little: its tooltip says what it adds.
        QString what = Com[index]->accessibleName().isEmpty() ? Com[index]->text()
                                                              : Com[index]->accessibleName();
        if (index == 9)
            what = QStringLiteral(u"عنوان اصلي");
        Com[index]->setToolTip(withKeys(what, {action->shortcut()}));
    }
    undoAction = new QAction(this);
    undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction = new QAction(this);
    redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction *a : {undoAction, redoAction}) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
    connect(undoAction, &QAction::triggered, this, &Form3::undoStep);
    connect(redoAction, &QAction::triggered, this, &Form3::redoStep);
    // Said where the keyboard is while marking.
    matn->setToolTip(withKeys(QStringLiteral(u"برگرداندن آخرين تغيير"), {undoAction->shortcut()})
                     + u'\n' + withKeys(QStringLiteral(u"انجام دوباره"), redoAction->shortcuts()));
}

bool Form3::isWorkbenchShortcut(const QKeyEvent *key) const
{
    const QKeySequence pressed(key->keyCombination());
    for (const QAction *a : actions())
        for (const QKeySequence &k : a->shortcuts())
            if (k == pressed)
                return true;
    return false;
}

bool Form3::keyFilter(QObject *watched, QKeyEvent *key)
{
    // The text fields would take undo and redo (and a few more of the
    // workbench's keys) for themselves: they are left to the window.
    if (key->type() == QEvent::ShortcutOverride) {
        if ((watched == matn || watched == bname) && isWorkbenchShortcut(key)) {
            key->ignore();
            return true;
        }
        return false;
    }
    if (key->type() != QEvent::KeyPress || key->modifiers() & ~Qt::KeypadModifier)
        return false;
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && watched == books && books->currentItem()) {
        books_Click();
        return true;
    }
    if (enter && watched == bindex) {
        bindex_MouseUp();
        return true;
    }
    return false;
}

} // namespace zorvel
