#pragma once

#include <QList>
#include <QString>

// One stream of the medium the engine has open, as its track menus offer it.
struct MediaTrack
{
    // What the stream holds.
    enum class Type
    {
        Audio,
        Video,
        Subtitle
    };

    Type type = Type::Audio;
    // The engine's number for it, unique within its type; never 0, which
    // stands for "none" when choosing.
    int id = 0;
    // Its language as the medium names it ("eng", "fr"); may be empty.
    QString language;
    // Its title as the medium names it ("Commentary"); may be empty.
    QString title;
    // Whether it is the one playing (or shown).
    bool selected = false;
    // Whether it comes from a file of its own beside the medium.
    bool external = false;

    // The menu text: language and title ("eng - Commentary"), either alone,
    // or "Track <id>" when the medium names neither.
    QString label() const;

    // The tracks of this type, in the engine's order.
    static QList<MediaTrack> ofType(const QList<MediaTrack> &tracks, Type type);
    // Whether the list holds a track of this type.
    static bool has(const QList<MediaTrack> &tracks, Type type);

    bool operator==(const MediaTrack &other) const;
    bool operator!=(const MediaTrack &other) const { return !(*this == other); }
};
