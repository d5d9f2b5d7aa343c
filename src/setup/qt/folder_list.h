#pragma once

#include <QListWidget>

namespace setup {

// The folder list: the open folder with its ancestors and its subfolders.
// A click only highlights a row; a double click (or Enter) opens it. The
// chosen folder is always the open one, never a merely highlighted row.
class FolderList : public QListWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget *parent = nullptr);

    QString path() const { return m_path; }
    // Opens `folder`; false (and nothing changes) when it is not a folder.
    bool setPath(const QString &folder);
    void refresh();

signals:
    void pathChanged(const QString &folder);

private:
    QString m_path;
};

} // namespace setup
