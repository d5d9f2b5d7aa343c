#include "ui/shell/drivelist.h"

#include <QStorageInfo>
#include <QStyle>

namespace zorvel {

DriveList::DriveList(QWidget *parent)
    : QComboBox(parent)
{
    connect(this, &QComboBox::currentIndexChanged, this, &DriveList::selectionChanged);
    refresh();
}

void DriveList::addDrive(const QString &root)
{
    QString text = root;
    const QStorageInfo volume(root);
    if (volume.isValid() && volume.isReady() && !volume.name().isEmpty())
        text += QStringLiteral(" [") + volume.name() + u']';
    addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), text, root);
}

void DriveList::refresh()
{
    const QSignalBlocker quiet(this);
    clear();
    for (const QString &root : availableDrives())
        addDrive(root);
    if (m_drive.isEmpty() && count() > 0)
        m_drive = itemData(0).toString();
    if (!m_drive.isEmpty() && findData(m_drive) < 0)
        addDrive(m_drive);
    setCurrentIndex(findData(m_drive));
}

void DriveList::setDrive(const QString &drive)
{
    const QString root = nativeFolderPath(drive);
    if (root.isEmpty())
        return;
    refresh();
    int index = findData(root);
    if (index < 0) {
        const QSignalBlocker quiet(this);
        addDrive(root);
        index = count() - 1;
    }
    setCurrentIndex(index); // reports the change through selectionChanged
}

void DriveList::selectionChanged(int index)
{
    const QString root = itemData(index).toString();
    if (index < 0 || root == m_drive)
        return;
    m_drive = root;
    emit driveChanged(m_drive);
}

} // namespace zorvel
