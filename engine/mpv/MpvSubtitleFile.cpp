#include "engine/mpv/MpvSubtitleFile.h"

#include "core/BoundedRead.h"
#include "core/SourceRule.h"
#include "core/StyledSubtitleBound.h"
#include "core/TimedTextBound.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QStringDecoder>

MpvSubtitleFile MpvSubtitleFile::prepare(const QString &path, int pictureHeight)
{
    MpvSubtitleFile file;
    file.path = path;
    file.refused = SourceRule::refusedSubtitle(path);
    if (!file.refused.isEmpty())
        return file;
    const BoundedRead read = BoundedRead::file(path, SourceRule::maxSubtitleBytes);
    // mpv says itself what it cannot read.
    if (!read.ok())
        return file;
    QByteArray bytes = read.bytes;
    // Tags are looked for in 8-bit text; UTF-16 becomes UTF-8 first.
    if (bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff")) {
        auto decoder = QStringDecoder(bytes.startsWith("\xff\xfe") ? QStringDecoder::Utf16LE
                                                                   : QStringDecoder::Utf16BE);
        bytes = QString(decoder(bytes)).toUtf8();
    }
    const StyledSubtitleBound::Result bound =
        StyledSubtitleBound::isStyled(bytes) ? StyledSubtitleBound::bound(bytes, pictureHeight)
        : TimedTextBound::isTimed(bytes)     ? TimedTextBound::bound(bytes, pictureHeight)
                                             : StyledSubtitleBound::Result();
    if (!bound.changed())
        return file;
    file.script = bound.script;
    file.note = tr("The subtitle file %1 was too heavy to draw and is shown lighter: %2 sizes "
                   "reduced, %3 lines left out.")
                    .arg(QDir::toNativeSeparators(path))
                    .arg(bound.clampedValues)
                    .arg(bound.droppedLines);
    return file;
}

int MpvSubtitleFile::largestPictureHeight()
{
    // Subtitles are drawn at the size the picture takes on the screen.
    int height = 0;
    for (const QScreen *screen : QGuiApplication::screens())
        height = std::max(height, int(screen->geometry().height() * screen->devicePixelRatio()));
    return height > 0 ? height : 1024;
}

QString MpvSubtitleFile::address() const
{
    // In hex, bytes in any code page reach mpv as they are, for it to tell
    // the code page as it does for files.
    return script.isEmpty() ? path : QStringLiteral("hex://") + QString::fromLatin1(script.toHex());
}
