#include "playlist/PlayListBox.h"

PlayListBox::PlayListBox(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_quiet && listIndex() >= 0)
            emit listClick();
    });
}

QString PlayListBox::list(int index) const
{
    const QListWidgetItem *entry = item(index);
    return entry ? entry->text() : QString();
}

int PlayListBox::listIndex() const
{
    const QList<QListWidgetItem *> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

void PlayListBox::setListIndex(int index)
{
    if (index < -1 || index >= count())
        throw std::out_of_range("Invalid play list position");
    if (index == listIndex())
        return;
    m_quiet = true;
    if (index < 0) {
        clearSelection();
        setCurrentRow(-1, QItemSelectionModel::Clear);
    } else {
        setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    }
    m_quiet = false;
    if (index >= 0)
        emit listClick();
}

QString PlayListBox::text() const { return list(listIndex()); }

void PlayListBox::addEntry(const QString &path) { addItem(path); }

void PlayListBox::removeEntry(int index)
{
    m_quiet = true;
    delete takeItem(index);
    clearSelection();
    m_quiet = false;
}

void PlayListBox::clearEntries()
{
    m_quiet = true;
    clear();
    m_quiet = false;
}
