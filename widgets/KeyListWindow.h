#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class QTreeWidget;

// A small window that lists keys: one line a row (the keys, what they do,
// where they work), read-only, closed by its button or Esc. It does not
// block the window that opened it.
class KeyListWindow : public QDialog
{
    Q_OBJECT
public:
    explicit KeyListWindow(QWidget *parent = nullptr);

    // Shows these rows, each the three texts above.
    void setRows(const QList<QStringList> &rows);
    // The rows shown, as given.
    QList<QStringList> rows() const;

private:
    QTreeWidget *m_list;
};
