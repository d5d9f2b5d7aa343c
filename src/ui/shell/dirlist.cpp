#include "ui/shell/dirlist.h"

#include "core/common/folder_listing.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

namespace zorvel {

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int LevelRole = Qt::UserRole + 1;
constexpr int IndentPixels = 10;

// Shifts each entry by its depth, from the leading edge of the layout.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override
    {
        QStyleOptionViewItem shifted(option);
        const int indent = index.data(LevelRole).toInt() * IndentPixels;
        if (option.direction == Qt::RightToLeft)
            shifted.rect.setRight(shifted.rect.right() - indent);
        else
            shifted.rect.setLeft(shifted.rect.left() + indent);
        QStyledItemDelegate::paint(painter, shifted, index);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += index.data(LevelRole).toInt() * IndentPixels;
        return size;
    }
};

} // namespace

DirList::DirList(QWidget *parent)
    : QListWidget(parent)
{
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QListWidget::itemDoubleClicked, this, &DirList::openEntry);
}

QString DirList::entryPath(int row) const
{
    const QListWidgetItem *entry = item(row);
    return entry ? entry->data(PathRole).toString() : QString();
}

void DirList::setPath(const QString &path)
{
    const QString folder = openableFolder(nativeFolderPath(path));
    if (folder.isEmpty())
        return;
    const bool changed = folder != m_path;
    m_path = folder;
    refresh();
    if (changed)
        emit pathChanged(m_path);
}

void DirList::refresh()
{
    clear();
    if (m_path.isEmpty())
        return;
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QStringList chain = folderChain(m_path);
    for (int level = 0; level < chain.size(); ++level) {
        const QString &folder = chain.at(level);
        auto *entry = new QListWidgetItem(
            openIcon, level == 0 ? folder : QFileInfo(folder).fileName(), this);
        entry->setData(PathRole, folder);
        entry->setData(LevelRole, level);
    }
    const QString base = chain.isEmpty() ? m_path : chain.last();
    for (const QString &name : subfolderNames(m_path)) {
        auto *entry = new QListWidgetItem(closedIcon, name, this);
        entry->setData(PathRole, nativeFolderPath(base + u'/' + name));
        entry->setData(LevelRole, chain.size());
    }
    // The open folder is the highlighted entry until the operator moves on.
    setCurrentRow(chain.size() - 1);
    scrollToItem(currentItem());
}

void DirList::openEntry(QListWidgetItem *entry)
{
    if (entry)
        setPath(entry->data(PathRole).toString());
}

void DirList::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        openEntry(currentItem());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace zorvel
