#pragma once

#include <QObject>

class MediaOpener;
class QMimeData;
class QWidget;

// Takes files, folders and stream links dropped anywhere on the window and
// hands them to the MediaOpener. Other drags (text on a text box) are left to
// the control under the mouse.
class DropHandler : public QObject
{
    Q_OBJECT
public:
    // Watches the window and every control on it.
    DropHandler(QWidget &window, MediaOpener &opener, QObject *parent = nullptr);

    // Whether a drag carries something the play list takes: local files or
    // folders, or links of the network schemes the engine opens.
    static bool accepts(const QMimeData *mime);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    MediaOpener &m_opener;
};
