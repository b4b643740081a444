#pragma once

#include <QListWidget>

// The folder list (Folders): the folders from the root down to its path, then
// the folders in it, each indented one step further than its parent. A
// double-click or Enter on an entry opens that folder, Backspace the folder
// above the current one. Every change of the
// path, by the user or by setPath(), raises pathChange() inside the change.
class FolderList : public QListWidget
{
    Q_OBJECT
public:
    explicit FolderList(QWidget *parent = nullptr);

    // The current folder: absolute, clean, without a trailing separator except
    // at a root ("/", "/home/ann").
    QString path() const { return m_path; }
    // Opens this folder. A different path raises pathChange() before this
    // returns. Returns false, changing nothing, when the folder does not
    // exist or cannot be read.
    bool setPath(const QString &path);
    // Why a folder cannot be opened, as a sentence for a message box.
    static QString cannotOpen(const QString &path);

    // The full path of the folder shown at this row, or "".
    QString folderPath(int row) const;
    // The row of the current folder.
    int currentFolderRow() const { return m_currentRow; }

signals:
    void pathChange();
    // Opening a folder by double-click or Enter failed; the path is unchanged.
    void openFailed(const QString &message);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fill();
    void showCurrentFolder();
    void open(QListWidgetItem *item);

    QString m_path;
    int m_currentRow = -1;
};
