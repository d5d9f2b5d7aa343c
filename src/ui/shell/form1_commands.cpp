// The commands "Next" and "Export": the checks, the build folder's subfolders,
// the settings save, the workbench beside the main window, and the export.
#include "ui/shell/form1.h"

#include "core/book/buildlayout.h"
#include "core/common/messages.h"
#include "core/common/paths.h"
#include "core/export/discimage.h"
#include "core/export/exporter.h"
#include "core/export/exportprogress.h"
#include "core/project/bookslot.h"
#include "ui/common/appcontext.h"
#include "ui/common/operator.h"
#include "ui/common/placement.h"
#include "ui/common/uistyle.h"
#include "ui/shell/exportprogresswindow.h"
#include "ui/workbench/form3.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProgressDialog>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include <optional>

namespace zorvel {

void Form1::applyAbsolutePathRule(QLineEdit *field)
{
    // An empty field names no folder, not the program's own.
    if (!field->text().isEmpty() && !isAbsoluteFieldPath(field->text()))
        field->setText(absoluteFieldPath(field->text(), m_ctx.programFolder));
}

bool Form1::FE()
{
    bool result = true;

    // The same folder, written absolute: the fields and the chosen book stay.
    applyAbsolutePathRule(idir);
    if (!fso.folderExists(idir->text())) {
        result = false;
        bepayam(10);
    }

    if (!isAbsoluteFieldPath(Text1->text())) {
        if (Text1->text() == QStringLiteral(u"شاخه جاري"))
            Text1->setText(QDir::toNativeSeparators(m_ctx.programFolder));
        else
            applyAbsolutePathRule(Text1);
    }
    if (!fso.folderExists(Text1->text())) {
        result = false;
        bepayam(9);
    }

    auto checkFile = [&](QLineEdit *field, qint16 code) {
        applyAbsolutePathRule(field);
        if (!fso.fileExists(field->text())) {
            result = false;
            bepayam(code);
        }
    };
    checkFile(index, 11);
    if (bMus[0]->isChecked()) {
        checkFile(Mus1, 12);
        checkFile(Mus2, 13);
    }
    checkFile(Back, 14);
    return result;
}

void Form1::MakeDirs()
{
    const QString d = DoSlash(idir->text());
    for (const QString &name :
        { txtDir, xmlDir, layout::picturesFolder(), layout::flashFolder() }) {
        if (!fso.folderExists(d + name))
            fso.createFolder(d + name);
    }
}

void Form1::Command3_Click()
{
    if (!CHK())
        return;
    if (!FE())
        return;
    try {
        MakeDirs();
    } catch (const FsError &e) {
        m_ctx.op->notice(QStringLiteral(u"ساخت شاخه ممكن نشد:\n") + e.describe());
        return;
    }
    if (!SaveThings())
        return;
    Doit();
}

void Form1::Doit()
{
    Form3 *workbench = m_ctx.form3;
    if (!workbench) {
        workbench = new Form3(m_ctx);
        workbench->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    workbench->openForBook(buildFolder());
    // Where the operator has put an open workbench, it stays.
    if (!workbench->isVisible())
        placeWorkbench(*workbench);
    workbench->show();
}

void Form1::placeWorkbench(QWidget &workbench)
{
    // Before its first showing a window has no frame yet: this window's frame
    // is the best guess of the one it will get.
    QSize size = workbench.frameGeometry().size();
    if (size == workbench.size())
        size += frameGeometry().size() - this->size();
    const QScreen *screen = this->screen();
    if (!screen)
        return;
    const QRect picker(dataName->mapToGlobal(QPoint(0, 0)), dataName->size());
    workbench.move(workbenchTopLeft(frameGeometry(), picker, size, screen->availableGeometry()));
}

void Form1::Timer1_Timer()
{
    if (isMinimized())
        return;
    Timer1->stop();
    if (Form3 *workbench = m_ctx.form3) {
        workbench->showNormal();
        workbench->Timer1->start();
    }
}

void Form1::Command10_Click()
{
    if (prepareExport())
        ExportAll();
}

void Form1::CommandIso_Click()
{
    if (prepareExport())
        ExportAll(true);
}

bool Form1::prepareExport()
{
    applyAbsolutePathRule(ExBox);
    applyAbsolutePathRule(idir); // the same folder: the fields and the chosen book stay
    // Without a build folder there is nothing to save into; the export
    // reports the missing folder itself.
    if (fso.folderExists(idir->text())) {
        const QStringList unfinished
            = unfinishedBooks(fso, idir->text(), title->text(), matn->text(), shenas->text());
        if (!unfinished.isEmpty() && !m_ctx.op->ask(unfinishedBooksQuestion(unfinished)))
            return false;
        // An export with settings or media that were not saved would carry
        // the old ones onto the CD.
        bool complete = false;
        if (!SaveThings(&complete) || !complete) {
            bepayam(28);
            return false;
        }
    }
    return true;
}

void Form1::ExportAll(bool withImage)
{
    ExportResult result;
    {
        ExportProgressWindow progress(this, exportProgressDelayMs);
        result = runExport(
            fso, m_ctx.programFolder, idir->text(), ExBox->text(), Pcheck->isChecked(), &progress);
    }
    std::optional<DiscImageResult> image;
    if (withImage && result.outcome == ExportOutcome::Done) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const QString name = cdNameOf(result.outputFolder);
        image = writeDiscImage(result.outputFolder, discImagePath(result.outputFolder),
            name.isEmpty() ? QFileInfo(result.outputFolder).fileName() : name);
        QApplication::restoreOverrideCursor();
    }
    bepayam(result.messageCode());
    // Message 28 alone does not say what to mend.
    if (result.outcome == ExportOutcome::Failed && !result.problem.isEmpty())
        m_ctx.op->notice(result.problem);
    // Where the image is, or why there is none.
    if (image)
        m_ctx.op->notice(image->ok() ? discImageDoneText(*image) : discImageFailedText(*image));
}

} // namespace zorvel
