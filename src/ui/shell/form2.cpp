#include "ui/shell/form2.h"

#include "ui/common/uistyle.h"
#include "ui/shell/dirlist.h"
#include "ui/shell/drivelist.h"
#include "ui/shell/picker_window.h"

#include <QPushButton>

namespace zorvel {

Form2::Form2(QWidget *parent)
    : QDialog(parent)
{
    dressPickerWindow(*this, QStringLiteral("Select folder"), 3315, 3945);

    Drive1 = new DriveList(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setGeometry(twipsRect(0, 0, 3315, 330));

    Dir1 = new DirList(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setGeometry(twipsRect(0, 345, 3315, 3015));

    btn[0] = new QPushButton(QStringLiteral(u"شاخه مقصد را انتخاب كنيد!"), this);
    btn[0]->setObjectName(QStringLiteral("btn0"));
    btn[0]->setGeometry(twipsRect(0, 3390, 3315, 555));

    Drive1->setAccessibleName(QStringLiteral(u"درایو"));
    Dir1->setAccessibleName(QStringLiteral(u"شاخه‌ها"));
    Dir1->setAccessibleDescription(QStringLiteral(u"برای باز کردن شاخه، آن را دوبار کلیک کنید یا Enter بزنید"));

    setTabOrder(btn[0], Dir1);
    setTabOrder(Dir1, Drive1);
    btn[0]->setFocus();

    connect(Drive1, &DriveList::driveChanged, this, &Form2::Drive1_Change);
    connect(btn[0], &QPushButton::clicked, this, &Form2::btn_Click);
}

void Form2::Drive1_Change(const QString &drive)
{
    Dir1->setPath(drive);
}

void Form2::btn_Click()
{
    emit confirmed();
    hide();
}

} // namespace zorvel
