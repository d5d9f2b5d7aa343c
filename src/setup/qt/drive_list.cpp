#include "drive_list.h"

#include "folder_rows.h"

#include <QDir>
#include <QSignalBlocker>
#include <QStorageInfo>

namespace setup {

static QString labelFor(const QString &root)
{
    const QString name = QStorageInfo(root).name();
    const QString shown = QDir::toNativeSeparators(root);
    return name.isEmpty() ? shown : shown + QStringLiteral("  [") + name + u']';
}

DriveList::DriveList(QWidget *parent)
    : QComboBox(parent)
{
    setRoots(volumeRoots());
    connect(
        this, &QComboBox::currentIndexChanged, this, [this](int) { emit driveChanged(drive()); });
}

void DriveList::setRoots(const QStringList &roots)
{
    const QSignalBlocker quiet(this);
    clear();
    for (const QString &root : roots)
        addItem(labelFor(root), QDir::toNativeSeparators(root));
    setCurrentIndex(count() > 0 ? 0 : -1);
}

QString DriveList::drive() const
{
    return currentData().toString();
}

void DriveList::setDrive(const QString &root)
{
    const QString native = QDir::toNativeSeparators(root);
    int at = findData(native);
    if (at < 0) {
        addItem(labelFor(root), native);
        at = count() - 1;
    }
    setCurrentIndex(at);
}

} // namespace setup
