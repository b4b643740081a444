#pragma once

#include <QList>
#include <QUrl>
#include <QWidget>

// A small window of the test that drags these files when pressed, as a file
// manager does: the drop goes through the X server's drag-and-drop protocol
// to whatever window the pointer is released over.
class DragSource : public QWidget
{
public:
    explicit DragSource(const QList<QUrl> &files);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QList<QUrl> m_files;
};
