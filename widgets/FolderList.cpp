#include "widgets/FolderList.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {

const int PathRole = Qt::UserRole;
const int DepthRole = Qt::UserRole + 1;
const int IndentPerLevel = 8; // pixels

// Indents each entry by its depth below the root, so the list reads as the
// branch from the root down to the current folder and its children.
class IndentDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem indented = option;
        indented.rect.setLeft(option.rect.left() + index.data(DepthRole).toInt() * IndentPerLevel);
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QSize size = QStyledItemDelegate::sizeHint(option, index);
        return {size.width() + index.data(DepthRole).toInt() * IndentPerLevel, size.height()};
    }
};

} // namespace

FolderList::FolderList(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new IndentDelegate(this));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideRight);
    connect(this, &QListWidget::itemActivated, this, &FolderList::open);
}

bool FolderList::setPath(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir() || !info.isReadable() || !info.isExecutable())
        return false;
    const QString clean = QDir::cleanPath(info.absoluteFilePath());
    if (clean == m_path)
        return true;
    m_path = clean;
    fill();
    emit pathChange();
    return true;
}

QString FolderList::cannotOpen(const QString &path)
{
    return QStringLiteral("The folder \"%1\" cannot be opened: it does not exist or cannot be "
                          "read.")
        .arg(QDir::toNativeSeparators(path));
}

QString FolderList::folderPath(int row) const
{
    const QListWidgetItem *entry = item(row);
    return entry ? entry->data(PathRole).toString() : QString();
}

void FolderList::fill()
{
    clear();
    QStringList branch;
    for (QDir dir(m_path);;) {
        branch.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    const QIcon drive = style()->standardIcon(QStyle::SP_DriveHDIcon);
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    int depth = 0;
    for (const QString &folder : branch) {
        const QString name =
            depth == 0 ? QDir::toNativeSeparators(folder) : QFileInfo(folder).fileName();
        auto *entry = new QListWidgetItem(depth == 0 ? drive : open, name, this);
        entry->setData(PathRole, folder);
        entry->setData(DepthRole, depth);
        ++depth;
    }
    m_currentRow = count() - 1;
    const QDir current(m_path);
    const QStringList subfolders =
        current.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &sub : subfolders) {
        auto *entry = new QListWidgetItem(closed, sub, this);
        entry->setData(PathRole, current.filePath(sub));
        entry->setData(DepthRole, depth);
    }
    setCurrentRow(m_currentRow);
    showCurrentFolder();
}

void FolderList::showCurrentFolder()
{
    // From the top, so the folders above stay in sight as long as they fit.
    scrollToTop();
    if (QListWidgetItem *current = item(m_currentRow))
        scrollToItem(current);
}

void FolderList::resizeEvent(QResizeEvent *event)
{
    QListWidget::resizeEvent(event);
    showCurrentFolder();
}

void FolderList::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Backspace && m_currentRow > 0) {
        open(item(m_currentRow - 1));
        return;
    }
    QListWidget::keyPressEvent(event);
}

void FolderList::open(QListWidgetItem *entry)
{
    const QString folder = entry->data(PathRole).toString();
    if (!setPath(folder)) {
        // The old listing stays; show where the list really is.
        setCurrentRow(m_currentRow);
        emit openFailed(cannotOpen(folder));
    }
}
