// Path requests: the browse buttons prepare a picker where the field's path
// lies (or where that kind of file was last found, or at the program folder)
// and show it; the picker's confirm button calls upd, which routes the
// choice by the requester key in wdir.
#include "ui/shell/form1.h"

#include "core/common/paths.h"
#include "core/project/pickerstart.h"
#include "ui/common/appcontext.h"
#include "ui/common/operator.h"
#include "ui/editor/form6.h"
#include "ui/shell/dirlist.h"
#include "ui/shell/drivelist.h"
#include "ui/shell/filelist.h"
#include "ui/shell/form2.h"
#include "ui/shell/form4.h"
#include "ui/shell/form5.h"
#include "ui/workbench/form3.h"

#include <QLineEdit>

namespace zorvel {

Form2 *Form1::form2()
{
    if (!m_form2) {
        m_form2 = new Form2(this);
        connect(m_form2, &Form2::confirmed, this, &Form1::upd);
    }
    return m_form2;
}

Form5 *Form1::form5()
{
    if (!m_form5) {
        m_form5 = new Form5(this);
        connect(m_form5, &Form5::confirmed, this, &Form1::upd);
    }
    return m_form5;
}

// The routing table: which field each requester key fills. The editor's
// fields count only while the editor is open.
QLineEdit *Form1::requesterField(const QString &key) const
{
    static const QHash<QString, QLineEdit *Form1::*> own = {
        {QStringLiteral("Command9"), &Form1::Text1}, {QStringLiteral("idir"), &Form1::idir},
        {QStringLiteral("ExBox"), &Form1::ExBox},    {QStringLiteral("Command5"), &Form1::index},
        {QStringLiteral("Command6"), &Form1::Mus1},  {QStringLiteral("Command7"), &Form1::Mus2},
        {QStringLiteral("Command8"), &Form1::Back},
    };
    if (own.contains(key))
        return this->*own.value(key);
    if (Form6 *editor = m_ctx.form6) {
        if (key == QLatin1String("C6d5"))
            return editor->picB;
        if (key == QLatin1String("C6d1"))
            return editor->soutB;
        if (key == QLatin1String("C6d2"))
            return editor->filmB;
    }
    return nullptr;
}

QString Form1::pickerStart(const QString &key, bool folderField) const
{
    QString current;
    if (const QLineEdit *field = requesterField(key)) {
        // "شاخه جاري" is no path but the program folder itself.
        current = field == Text1 && field->text() == QStringLiteral(u"شاخه جاري") ? m_ctx.programFolder
                                                                        : fieldPath(field);
    }
    return pickerStartFolder(fso, current, folderField, m_pickerMemory.last(pathKindOfRequest(key)),
                             m_ctx.programFolder);
}

void Form1::prepareFolderPicker(const QString &key)
{
    wdir = key;
    Form2 *f = form2();
    const QString start = pickerStart(key, true);
    f->Drive1->setDrive(driveOf(start));
    f->Dir1->setPath(start);
}

void Form1::prepareFilePicker(const QString &key, const QString &pattern)
{
    wdir = key;
    Form5 *f = form5();
    const QString start = pickerStart(key, false);
    f->Drive1->setDrive(driveOf(start));
    f->Dir1->setPath(start);
    f->File1->setPath(start);
    f->File1->setPattern(pattern);
    if (const QLineEdit *field = requesterField(key))
        f->File1->selectFile(pickerStartFile(fieldPath(field), f->File1->path()));
}

void Form1::requestFolder(const QString &key)
{
    prepareFolderPicker(key);
    m_ctx.op->runModal(*form2());
}

void Form1::requestFile(const QString &key, const QString &pattern)
{
    prepareFilePicker(key, pattern);
    m_ctx.op->runModal(*form5());
}

void Form1::Command9_Click()
{
    requestFolder(QStringLiteral("Command9"));
}

void Form1::Command2_Click()
{
    requestFolder(QStringLiteral("idir"));
}

void Form1::Command1_Click()
{
    requestFolder(QStringLiteral("ExBox"));
}

void Form1::Command5_Click()
{
    requestFile(QStringLiteral("Command5"), QStringLiteral("*.jpg"));
}

void Form1::Command6_Click()
{
    requestFile(QStringLiteral("Command6"), QStringLiteral("*.mp3"));
}

void Form1::Command7_Click()
{
    requestFile(QStringLiteral("Command7"), QStringLiteral("*.mp3"));
}

void Form1::Command8_Click()
{
    requestFile(QStringLiteral("Command8"), QStringLiteral("*.jpg"));
}

void Form1::Command4_Click()
{
    // Made afresh each time, so the help file is read again.
    Form4 help(m_ctx.programFolder);
    m_ctx.op->runModal(help);
}

void Form1::upd()
{
    const QString folder = m_form2 ? m_form2->Dir1->path() : QString();
    const QString file = m_form5 ? DoSlash(m_form5->File1->path()) + m_form5->File1->fileName() : QString();
    const PathKind kind = pathKindOfRequest(wdir);
    if (kind == PathKind::Folder)
        m_pickerMemory.remember(kind, folder);
    else if (m_form5)
        m_pickerMemory.remember(kind, m_form5->File1->path());
    // The workbench's picture insertion reads its choice after the picker;
    // every other key names the field it fills (a folder field or a file field).
    if (wdir == QLatin1String("IMG")) {
        if (m_ctx.form3)
            m_ctx.form3->InIMG = file;
    } else if (QLineEdit *target = requesterField(wdir)) {
        target->setText(kind == PathKind::Folder ? folder : file);
    }
}

} // namespace zorvel
