#pragma once

#include <QComboBox>

namespace setup {

// The drive list: one row per drive (Windows) or mounted volume.
class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget *parent = nullptr);

    void setRoots(const QStringList &roots); // replaces the rows, selects the first
    QString drive() const; // root of the chosen row
    // Chooses the row of `root`, adding it when the list lacks it.
    void setDrive(const QString &root);

signals:
    void driveChanged(const QString &root);
};

} // namespace setup
