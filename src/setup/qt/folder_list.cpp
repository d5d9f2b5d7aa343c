#include "folder_list.h"

#include "folder_rows.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStyle>
#include <QStyledItemDelegate>

namespace setup {

namespace {

constexpr int depthRole = Qt::UserRole + 1;
constexpr int pathRole = Qt::UserRole;
constexpr int indentStep = 10;

class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override
    {
        QStyleOptionViewItem shifted(option);
        shifted.rect.setLeft(option.rect.left() + index.data(depthRole).toInt() * indentStep);
        QStyledItemDelegate::paint(painter, shifted, index);
    }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += index.data(depthRole).toInt() * indentStep;
        return size;
    }
};

} // namespace

FolderList::FolderList(QWidget *parent)
    : QListWidget(parent)
{
    setItemDelegate(new IndentDelegate(this));
    setUniformItemSizes(true);
    setPath(QDir::currentPath());
    connect(this, &QListWidget::itemActivated, this,
        [this](QListWidgetItem *item) { setPath(item->data(pathRole).toString()); });
}

bool FolderList::setPath(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    const QString native = QDir::toNativeSeparators(
        QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(folder)).absoluteFilePath()));
    const bool changed = native != m_path;
    m_path = native;
    refresh();
    if (changed)
        emit pathChanged(m_path);
    return true;
}

void FolderList::refresh()
{
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirIcon);
    int current = 0;
    for (const FolderRow &row : folderRows(m_path)) {
        auto *item = new QListWidgetItem(row.open ? openIcon : closedIcon, row.label, this);
        item->setData(pathRole, row.path);
        item->setData(depthRole, row.depth);
        item->setToolTip(row.path);
        if (row.open)
            current = count() - 1;
    }
    setCurrentRow(current);
    scrollToItem(currentItem());
}

} // namespace setup
