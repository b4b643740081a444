#include "widgets/PlayListBox.h"

#include <QKeyEvent>
#include <QMouseEvent>

PlayListBox::PlayListBox(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    // Long lists (a hundred thousand entries) stay quick to fill and scroll.
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
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void PlayListBox::setListIndex(int index)
{
    if (index == listIndex() || !isPosition(index))
        return;
    select(index);
    if (index >= 0)
        emit listClick();
}

void PlayListBox::select(int index)
{
    m_quiet = true;
    if (index < 0) {
        clearSelection();
    } else {
        setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
        scrollToItem(item(index));
    }
    m_quiet = false;
}

QString PlayListBox::text() const
{
    return list(listIndex());
}

void PlayListBox::addEntry(const QString &path)
{
    addItem(path);
}

void PlayListBox::removeEntry(int index)
{
    if (index < 0 || index >= count())
        return;
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

QItemSelectionModel::SelectionFlags PlayListBox::selectionCommand(const QModelIndex &index,
                                                                  const QEvent *event) const
{
    // A list box keeps its entry selected under Ctrl+click or Ctrl+Space;
    // only code clears the selection.
    const QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
    if (command & QItemSelectionModel::Deselect)
        return QItemSelectionModel::NoUpdate;
    return command;
}

void PlayListBox::mousePressEvent(QMouseEvent *event)
{
    const int before = listIndex();
    QListWidget::mousePressEvent(event);
    // A new selection has raised listClick() already; a press on the entry
    // that was selected changes nothing, yet the user asked for it.
    if (event->button() == Qt::LeftButton && before >= 0 && listIndex() == before &&
        indexAt(event->position().toPoint()).row() == before)
        emit listClick();
}

void PlayListBox::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && listIndex() >= 0) {
        emit listClick();
        return;
    }
    QListWidget::keyPressEvent(event);
}
