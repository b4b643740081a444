#pragma once

#include <QListWidget>

// The play list (PlayList1): entries in append order, positions from 0, at
// most one selected. Selecting an entry with the mouse or the arrow keys, or
// selecting a different entry from code, raises listClick() once, before the
// selection returns. A mouse click or Enter on the entry already selected
// raises it too, so the entry that just ended can be played again.
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
    // A position outside -1 .. listCount() - 1 changes nothing.
    void setListIndex(int index);
    // The selected entry, or "" when nothing is selected.
    QString text() const;

    // Appends an entry at the end; the selection stays as it is.
    void addEntry(const QString &path);
    // Removes the entry at this position; afterwards nothing is selected. A
    // position outside the list changes nothing.
    void removeEntry(int index);
    // Removes every entry; afterwards nothing is selected.
    void clearEntries();

signals:
    void listClick();

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool isPosition(int index) const { return index >= -1 && index < count(); }
    void select(int index);

    bool m_quiet = false;
};
