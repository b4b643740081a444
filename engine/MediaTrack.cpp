#include "engine/MediaTrack.h"

#include <QCoreApplication>

QString MediaTrack::label() const
{
    const QString lang = language.trimmed();
    const QString name = title.trimmed();
    if (!lang.isEmpty() && !name.isEmpty() && lang.compare(name, Qt::CaseInsensitive) != 0)
        return lang + QStringLiteral(" - ") + name;
    if (!name.isEmpty())
        return name;
    if (!lang.isEmpty())
        return lang;
    return QCoreApplication::translate("MediaTrack", "Track %1").arg(id);
}

QList<MediaTrack> MediaTrack::ofType(const QList<MediaTrack> &tracks, Type type)
{
    QList<MediaTrack> found;
    for (const MediaTrack &track : tracks)
        if (track.type == type)
            found << track;
    return found;
}

bool MediaTrack::has(const QList<MediaTrack> &tracks, Type type)
{
    for (const MediaTrack &track : tracks)
        if (track.type == type)
            return true;
    return false;
}

bool MediaTrack::operator==(const MediaTrack &other) const
{
    return type == other.type && id == other.id && language == other.language &&
           title == other.title && selected == other.selected && external == other.external;
}
