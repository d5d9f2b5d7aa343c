// The EPUB export, a right-click command on "خروجي": the same checks and
// settings save as the CD export, then one e-book per finished book.
#include "ui/shell/form1.h"

#include "core/export/epub.h"
#include "ui/common/appcontext.h"
#include "ui/common/operator.h"
#include "ui/common/uistyle.h"
#include "ui/shell/exportprogresswindow.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QLineEdit>
#include <QPushButton>

namespace zorvel {

void Form1::addEpubCommand()
{
    // The window's layout is fixed; the command rides on the export button.
    CommandEpub = new QAction(QStringLiteral(u"خروجي EPUB"), Command10);
    CommandEpub->setObjectName(QStringLiteral("CommandEpub"));
    Command10->addAction(CommandEpub);
    Command10->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Command10, &QWidget::customContextMenuRequested, this, [this](const QPoint &local) {
        auto *menu = new QMenu(Command10);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->addActions(Command10->actions());
        popupRightToLeft(menu, Command10->mapToGlobal(local));
    });
    connect(CommandEpub, &QAction::triggered, this, &Form1::CommandEpub_Click);

    // The same export, and the disc image that every burning program takes.
    CommandIso = new QAction(QStringLiteral(u"خروجي ISO"), Command10);
    CommandIso->setObjectName(QStringLiteral("CommandIso"));
    CommandIso->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
    CommandIso->setShortcutContext(Qt::WindowShortcut);
    Command10->addAction(CommandIso);
    connect(CommandIso, &QAction::triggered, this, &Form1::CommandIso_Click);
    Command10->setToolTip(QStringLiteral(u"كليك راست: خروجي EPUB، خروجي ISO (%1)")
                              .arg(CommandIso->shortcut().toString(QKeySequence::NativeText)));
}

void Form1::CommandEpub_Click()
{
    applyAbsolutePathRule(ExBox);
    applyAbsolutePathRule(idir); // re-reads the settings and rebuilds the picker
    // As for the CD: e-books made from settings or media that were not saved
    // would carry the old ones.
    if (fso.folderExists(idir->text())) {
        bool complete = false;
        if (!SaveThings(&complete) || !complete) {
            bepayam(28);
            return;
        }
    }
    EpubExportResult result;
    {
        ExportProgressWindow progress(this, exportProgressDelayMs);
        result = runEpubExport(fso, m_ctx.programFolder, idir->text(), ExBox->text(), {}, &progress);
    }
    if (const qint16 code = epubMessageCode(result))
        bepayam(code);
    else
        m_ctx.op->notice(epubReport(result));
}

} // namespace zorvel
