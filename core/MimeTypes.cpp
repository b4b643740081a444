#include "core/MimeTypes.h"

QStringList supportedMimeTypes()
{
    // .drv-ms, .wtv, .rmi, .m2v, .m1v, .mpa, .ifo, .tts, .wm and .wmd have no
    // name in the database; .mod's object-file type and .ts's translation
    // type are not media and are left out.
    return {
        QStringLiteral("application/vnd.apple.mpegurl"),
        QStringLiteral("application/vnd.ms-asf"),
        QStringLiteral("application/vnd.ms-wpl"),
        QStringLiteral("audio/basic"),
        QStringLiteral("audio/midi"),
        QStringLiteral("audio/mp2"),
        QStringLiteral("audio/mp4"),
        QStringLiteral("audio/mpeg"),
        QStringLiteral("audio/x-aifc"),
        QStringLiteral("audio/x-aiff"),
        QStringLiteral("audio/x-mod"),
        QStringLiteral("audio/x-mpegurl"),
        QStringLiteral("audio/x-ms-asx"),
        QStringLiteral("audio/x-ms-wma"),
        QStringLiteral("audio/x-wav"),
        QStringLiteral("image/jpeg"),
        QStringLiteral("video/3gpp"),
        QStringLiteral("video/3gpp2"),
        QStringLiteral("video/mp2t"),
        QStringLiteral("video/mp4"),
        QStringLiteral("video/mpeg"),
        QStringLiteral("video/quicktime"),
        QStringLiteral("video/x-ms-wmv"),
        QStringLiteral("video/x-msvideo"),
    };
}
