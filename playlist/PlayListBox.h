#pragma once

#include <QListWidget>
#include <stdexcept>

// The play list (PlayList1): entries in append order, positions from 0, at
// most one selected. Selecting an entry, with the mouse, the arrow keys or
// from code, raises listClick() inside the selection.
class PlayListBox : public QListWidget
{
    Q_OBJECT
public:
    explicit PlayListBox(QWidget *parent = nullptr);

    int listCount() const { return count(); }
    // The entry at this position; "" outside the list.
    QString list(int index) const;
    // The selected position, or -1 when nothing is selected.
    int listIndex() const;
    // Selects this position (-1: nothing); a different selection raises
    // listClick() before this returns.
    void setListIndex(int index);
    // The selected entry, or "" when nothing is selected.
    QString text() const;

    void addEntry(const QString &path);
    void removeEntry(int index);
    void clearEntries();

signals:
    void listClick();

private:
    bool m_quiet = false;
};
