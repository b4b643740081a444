#include "desktop/DropHandler.h"

#include "core/MediaSource.h"
#include "core/MediaTypes.h"
#include "desktop/MediaOpener.h"
#include "engine/MediaEngine.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

DropHandler::DropHandler(QWidget &window, MediaOpener &opener, MediaEngine &engine, QObject *parent)
    : QObject(parent), m_opener(opener), m_engine(engine)
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
        if (url.isLocalFile() || MediaSource::networkSchemes().contains(url.scheme().toLower()))
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
        QTimer::singleShot(0, this, [this, urls] { take(urls); });
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

void DropHandler::take(const QList<QUrl> &urls)
{
    QList<QUrl> media;
    QStringList subtitles;
    for (const QUrl &url : urls) {
        const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
        if (!path.isEmpty() && MediaTypes::isSubtitleFile(path) && !QFileInfo(path).isDir())
            subtitles << path;
        else
            media << url;
    }
    if (MediaTrack::has(m_engine.tracks(), MediaTrack::Type::Video)) {
        for (const QString &path : std::as_const(subtitles))
            m_engine.addSubtitleFile(path);
    } else if (media.isEmpty() && !subtitles.isEmpty()) {
        // Dropped with media, a subtitle file comes along when its video
        // plays, if it is named after it; dropped alone it has nowhere to go.
        QStringList problems;
        for (const QString &path : std::as_const(subtitles))
            problems << QStringLiteral("%1 is a subtitle file; it can be added only while a "
                                       "video plays.")
                            .arg(QDir::toNativeSeparators(path));
        m_opener.reportProblems(problems);
    }
    if (!media.isEmpty())
        m_opener.appendDropped(media);
}
