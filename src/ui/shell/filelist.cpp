#include "ui/shell/filelist.h"

#include "core/common/folder_listing.h"

namespace zorvel {

FileList::FileList(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        if (item)
            emit fileActivated(item->text());
    });
}

void FileList::setPath(const QString &path)
{
    m_path = nativeFolderPath(path);
    refresh();
}

void FileList::setPattern(const QString &pattern)
{
    m_pattern = pattern;
    refresh();
}

QString FileList::fileName() const
{
    const QList<QListWidgetItem *> selected = selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

void FileList::selectFile(const QString &name)
{
    if (name.isEmpty())
        return;
    for (int row = 0; row < count(); ++row) {
        if (item(row)->text() == name) {
            setCurrentRow(row);
            scrollToItem(item(row));
            return;
        }
    }
}

void FileList::refresh()
{
    clear();
    addItems(matchingFiles(m_path, m_pattern));
    setCurrentRow(-1);
}

} // namespace zorvel
