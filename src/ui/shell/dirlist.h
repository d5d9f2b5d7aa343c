#pragma once

#include <QListWidget>

namespace zorvel {

// Dir1: the open folder with its ancestors above it and its subfolders below,
// indented like a folder tree. Only opening an entry (double click or Enter)
// changes the folder; a highlighted entry is not the folder.
class DirList : public QListWidget {
    Q_OBJECT
public:
    explicit DirList(QWidget *parent = nullptr);

    // The open folder, native separators, no trailing separator but on a root.
    QString path() const { return m_path; }
    // Opens a folder; when it does not exist, the nearest existing folder on
    // its way (or its bare root, shown without subfolders).
    void setPath(const QString &path);
    void refresh();

    // The folder an entry stands for.
    QString entryPath(int row) const;

signals:
    void pathChanged(const QString &path);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void openEntry(QListWidgetItem *item);

    QString m_path;
};

} // namespace zorvel
