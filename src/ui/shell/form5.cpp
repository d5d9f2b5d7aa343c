#include "ui/shell/form5.h"

#include "ui/common/uistyle.h"
#include "ui/shell/dirlist.h"
#include "ui/shell/drivelist.h"
#include "ui/shell/filelist.h"
#include "ui/shell/picker_window.h"

#include <QLabel>
#include <QPushButton>

namespace zorvel {

Form5::Form5(QWidget *parent)
    : QDialog(parent)
{
    dressPickerWindow(*this, QStringLiteral("Select file"), 5400, 3615);

    // Placed by absolute position: the folder column stays on the left and
    // the file column on the right whatever the layout direction.
    Drive1 = new DriveList(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setGeometry(twipsRect(120, 120, 2520, 330));

    Dir1 = new DirList(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setGeometry(twipsRect(120, 510, 2520, 2340));

    Label5 = new QLabel(QStringLiteral(u"فهرست فايلهاي قابل انتخاب:"), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setGeometry(twipsRect(2760, 120, 2520, 330));

    File1 = new FileList(this);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setGeometry(twipsRect(2760, 510, 2520, 2340));

    btn[0] = new QPushButton(QStringLiteral(u"فايل مورد نظر را انتخاب كنيد!"), this);
    btn[0]->setObjectName(QStringLiteral("btn0"));
    btn[0]->setGeometry(twipsRect(1080, 2985, 3240, 510));

    Drive1->setAccessibleName(QStringLiteral(u"درایو"));
    Dir1->setAccessibleName(QStringLiteral(u"شاخه‌ها"));
    Dir1->setAccessibleDescription(QStringLiteral(u"برای باز کردن شاخه، آن را دوبار کلیک کنید یا Enter بزنید"));
    nameAfterLabel(File1, Label5);

    setTabOrder(Drive1, Dir1);
    setTabOrder(Dir1, File1);
    setTabOrder(File1, btn[0]);
    Drive1->setFocus();

    connect(Drive1, &DriveList::driveChanged, this, &Form5::Drive1_Change);
    connect(Dir1, &DirList::pathChanged, this, &Form5::Dir1_Change);
    connect(File1, &FileList::fileActivated, this, &Form5::btn_Click);
    connect(btn[0], &QPushButton::clicked, this, &Form5::btn_Click);
}

void Form5::Drive1_Change(const QString &drive)
{
    Dir1->setPath(drive);
}

void Form5::Dir1_Change(const QString &path)
{
    File1->setPath(path);
}

void Form5::btn_Click()
{
    emit confirmed();
    hide();
}

} // namespace zorvel
