#pragma once

#include "core/FileNamePattern.h"

#include <QListView>
#include <QStringList>

class QStringListModel;

// The file list (FileList): the files (not folders, not hidden) of its path
// whose names match its pattern, in name order, letter case ignored. Every
// change of its selection, by the mouse, the arrow keys or setListIndex(),
// raises listClick() inside the change; so does Enter on the selected file.
//
// It is a list view on a plain string model, so a folder of a hundred
// thousand files fills in a few tens of milliseconds.
class FileListBox : public QListView
{
    Q_OBJECT
public:
    // The design's fixed pattern: 42 name patterns joined by ";".
    static const QString designPattern;

    explicit FileListBox(QWidget *parent = nullptr);
    ~FileListBox() override;

    // The folder whose files are listed.
    QString path() const { return m_path; }
    // Lists the matching files of this folder; nothing is selected after it.
    void setPath(const QString &path);
    // Name patterns joined by ";" ("*.mp3;*.wav"); "*" and "?" are wildcards.
    QString pattern() const { return m_pattern.text(); }
    void setPattern(const QString &pattern);
    // Reads the folder again.
    void refresh();

    // The number of files listed.
    int listCount() const;
    // The file name at this position; "" outside the list.
    QString list(int index) const;
    // Every file name listed, in list order.
    QStringList fileNames() const;
    // The selected position, or -1 when nothing is selected.
    int listIndex() const;
    // Selects this position (-1: nothing); a different selection raises
    // listClick() before this returns.
    void setListIndex(int index);
    // The selected file's name, or "" when none is selected.
    QString fileName() const;

signals:
    void listClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void onSelectionChanged();

    QString m_path;
    FileNamePattern m_pattern;
    QStringListModel *m_model;
    bool m_filling = false;
};
