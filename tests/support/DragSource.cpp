#include "support/DragSource.h"

#include <QDrag>
#include <QMimeData>

DragSource::DragSource(const QList<QUrl> &files) : m_files(files)
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
}

void DragSource::mousePressEvent(QMouseEvent *)
{
    auto *drag = new QDrag(this);
    auto *data = new QMimeData;
    data->setUrls(m_files);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
}
