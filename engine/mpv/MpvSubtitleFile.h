#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

// A subtitle file as mpv is to get it: refused when it is no fit file
// (SourceRule::refusedSubtitle), else read and, when it is too heavy to draw,
// lightened (StyledSubtitleBound, TimedTextBound) so that mpv gets the
// lightened text in place of the file. Reading may wait on the file system:
// prepare() belongs on a worker thread.
class MpvSubtitleFile
{
    Q_DECLARE_TR_FUNCTIONS(MpvSubtitleFile)
public:
    // The file's path.
    QString path;
    // Why it is not loaded at all; empty when it is.
    QString refused;
    // The lightened script mpv gets instead of the file; empty when mpv may
    // read the file itself.
    QByteArray script;
    // What was changed to lighten it, as the message over the picture
    // names it; empty when nothing was.
    QString note;

    // Looks at and reads the file at path, to be drawn on a picture at most
    // pictureHeight pixels high; may wait on the file system.
    static MpvSubtitleFile prepare(const QString &path, int pictureHeight);
    // The height of the largest screen now attached, in pixels; only on the
    // GUI thread.
    static int largestPictureHeight();
    // What mpv's sub-add is given: the path, or the lightened text itself.
    QString address() const;
};
