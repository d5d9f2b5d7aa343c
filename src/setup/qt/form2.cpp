#include "form2.h"

#include "drive_list.h"
#include "folder_list.h"
#include "form1.h"
#include "picture_button.h"
#include "spoken_names.h"
#include "twips.h"

namespace setup {

Form2::Form2(Form1 &owner)
    : QDialog(&owner, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint)
    , m_owner(owner)
{
    setWindowTitle(QStringLiteral("Select folder"));
    setModal(true);
    setFixedSize(twips(3510), twips(4380));

    Drive1 = new DriveList(this);
    Drive1->setObjectName(QStringLiteral("drive"));
    setSpoken(Drive1, driveSpoken());
    Drive1->setGeometry(twipRect(120, 120, 3255, 315));
    Dir1 = new FolderList(this);
    Dir1->setObjectName(QStringLiteral("folders"));
    setSpoken(Dir1, folderListSpoken());
    Dir1->setGeometry(twipRect(120, 480, 3255, 3015));
    btn[0] = new PictureButton(QStringLiteral(":/setup/art/ok.png"), useFolderSpoken(), this);
    btn[0]->setObjectName(QStringLiteral("useFolder"));
    btn[0]->setGeometry(twipRect(960, 3840, 1575, 390));

    connect(Drive1, &DriveList::driveChanged, this, [this] { Drive1_Change(); });
    connect(btn[0], &QAbstractButton::clicked, this, [this] { btn_Click(0); });
}

void Form2::btn_Click(int)
{
    m_owner.upd();
    hide();
}

void Form2::Drive1_Change()
{
    Dir1->setPath(Drive1->drive());
}

} // namespace setup
