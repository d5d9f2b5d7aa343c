#pragma once

#include "core/common/folder_listing.h" // driveOf()

#include <QComboBox>

namespace zorvel {

// Drive1: the drives (Windows) or mounted volumes (elsewhere, "/" first).
class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget *parent = nullptr);

    // The selected drive's root, e.g. "C:\" or "/".
    QString drive() const { return m_drive; }
    // Selects a drive, adding it to the list when it is not there; the list
    // is read again first, so volumes mounted since the last use appear.
    void setDrive(const QString &drive);
    void refresh();

signals:
    void driveChanged(const QString &drive);

private:
    void addDrive(const QString &root);
    void selectionChanged(int index);

    QString m_drive;
};

} // namespace zorvel
