#pragma once

#include <QObject>

class MediaEngine;
class MediaOpener;
class QMimeData;
class QWidget;

// Takes files, folders and stream links dropped anywhere on the window and
// hands them to the MediaOpener. Subtitle files are no media of their own:
// while a video plays they are added to it and shown, and they never join
// the play list. Other drags (text on a text box) are left to the control
// under the mouse.
class DropHandler : public QObject
{
    Q_OBJECT
public:
    // Watches the window and every control on it; subtitle files go to
    // this engine.
    DropHandler(QWidget &window, MediaOpener &opener, MediaEngine &engine,
                QObject *parent = nullptr);

    // Whether a drag carries something the play list takes: local files or
    // folders, or links of the network schemes the engine opens.
    static bool accepts(const QMimeData *mime);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void take(const QList<QUrl> &urls);

    MediaOpener &m_opener;
    MediaEngine &m_engine;
};
