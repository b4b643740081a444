#pragma once

#include <QListWidget>
#include <QStringList>

// The file list: the files (not folders, not hidden) of its path whose names
// match its pattern, in name order. Every change of its selection by the user,
// with the mouse or the arrow keys, raises listClick().
class FileListBox : public QListWidget
{
    Q_OBJECT
public:
    // The design's fixed pattern: 42 name patterns joined by ";".
    static const QString designPattern;

    explicit FileListBox(QWidget *parent = nullptr);

    QString path() const { return m_path; }
    // Shows the matching files of this folder.
    void setPath(const QString &path);
    QString pattern() const { return m_pattern; }
    void setPattern(const QString &pattern);
    // The selected file's name, or "" when none is selected.
    QString fileName() const;
    void refresh();

signals:
    void listClick();

private:
    QString m_path;
    QString m_pattern;
    QStringList m_nameFilters;
    bool m_filling = false;
};
