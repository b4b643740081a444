#include "browse/FolderList.h"

#include <QDir>
#include <QFileInfo>
#include <stdexcept>

namespace {
const int PathRole = Qt::UserRole;
}

FolderList::FolderList(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        setPath(item->data(PathRole).toString());
    });
}

void FolderList::setPath(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isDir() || !QDir(path).isReadable())
        throw std::runtime_error(
            QStringLiteral("The folder %1 cannot be opened.").arg(QDir::toNativeSeparators(path))
                .toStdString());
    const QString clean = QDir::cleanPath(info.absoluteFilePath());
    if (clean == m_path)
        return;
    m_path = clean;
    fill();
    emit pathChange();
}

void FolderList::fill()
{
    clear();
    // The folders from the root down to the current one, then its subfolders.
    QStringList chain;
    for (QDir dir(m_path);; ) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    int depth = 0;
    for (const QString &folder : chain) {
        const QString name = depth == 0 ? folder : QFileInfo(folder).fileName();
        auto *item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(PathRole, folder);
        ++depth;
    }
    setCurrentRow(count() - 1);
    const QStringList subfolders =
        QDir(m_path).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &sub : subfolders) {
        auto *item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + sub, this);
        item->setData(PathRole, QDir(m_path).filePath(sub));
    }
}
