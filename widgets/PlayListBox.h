#pragma once

#include <QListWidget>
#include <stdexcept>

// The play list (PlayList1): entries in append order, positions from 0, at
// most one selected. Selecting an entry with the mouse or the arrow keys, or
// selecting a different entry from code, raises listClick() once, before the
// selection returns. A mouse click on the entry already selected raises it
// too, so the entry that just ended can be played again with one click.
class PlayListBox : public QListWidget
{
    Q_OBJECT
public:
    explicit PlayListBox(QWidget *parent = nullptr);

    // The number of entries.
    int listCount() const { return count(); }
    // The entry at this position; "" outside the list.
    QString list(int index) const;
    // The selected position, or -1 when nothing is selected.
    int listIndex() const;
    // Selects this position (-1: nothing). Selecting a different entry raises
    // listClick() before this returns; the same entry, or -1, raises nothing.
    // Throws std::out_of_range outside -1 .. listCount() - 1.
    void setListIndex(int index);
    // Selects this position like setListIndex(), but never raises listClick(),
    // for a caller that plays the entry itself.
    void setListIndexQuietly(int index);
    // The selected entry, or "" when nothing is selected.
    QString text() const;

    // Appends an entry at the end; the selection stays as it is.
    void addEntry(const QString &path);
    // Removes the entry at this position; afterwards nothing is selected.
    void removeEntry(int index);
    // Removes every entry; afterwards nothing is selected.
    void clearEntries();

signals:
    void listClick();

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void select(int index);

    bool m_quiet = false;
};
