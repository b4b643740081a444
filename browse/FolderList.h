#pragma once

#include <QListWidget>

// The folder list: its path, the folders above it and the folders in it. A
// double-click opens a folder; every change of the path, by the user or by
// setPath(), raises pathChange() inside the change.
class FolderList : public QListWidget
{
    Q_OBJECT
public:
    explicit FolderList(QWidget *parent = nullptr);

    QString path() const { return m_path; }
    // Throws std::runtime_error when the folder cannot be opened.
    void setPath(const QString &path);

signals:
    void pathChange();

private:
    void fill();

    QString m_path;
};
