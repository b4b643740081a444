#include "desktop/DropHandler.h"

#include "desktop/MediaOpener.h"
#include "core/MediaSource.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

DropHandler::DropHandler(QWidget &window, MediaOpener &opener, QObject *parent)
    : QObject(parent), m_opener(opener)
{
    window.setAcceptDrops(true);
    window.installEventFilter(this);
    // A control that takes drops itself (a text box) would otherwise get
    // the files as text.
    const QList<QWidget *> controls = window.findChildren<QWidget *>();
    for (QWidget *control : controls)
        control->installEventFilter(this);
}

bool DropHandler::accepts(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls())
        return false;
    const QList<QUrl> urls = mime->urls();
    for (const QUrl &url : urls) {
        if (url.isLocalFile() ||
            MediaSource::networkSchemes().contains(url.scheme().toLower()))
            return true;
    }
    return false;
}

bool DropHandler::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (!accepts(drag->mimeData()))
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        if (!accepts(drop->mimeData()))
            return false;
        drop->acceptProposedAction();
        // Opened once the drop is over: a message box shown inside the drop
        // would hold the file manager until it is closed.
        const QList<QUrl> urls = drop->mimeData()->urls();
        QTimer::singleShot(0, this, [this, urls] { m_opener.appendDropped(urls); });
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
