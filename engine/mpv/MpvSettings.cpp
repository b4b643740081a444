#include "engine/mpv/MpvSettings.h"

std::vector<MpvClient::Option> playerSettings(bool audio)
{
    std::vector<MpvClient::Option> settings = {
        // Video goes to the render context once the surface has made one.
        {"vo", "null"},
        {"gpu-hwdec-interop", "no"},
        // No sound card must not mean no playback.
        {"audio-fallback-to-null", "yes"},
        // A medium stays open at its end, so it can be rewound and played again.
        {"keep-open", "yes"},
        {"idle", "yes"},
        {"pause", "no"},
        {"volume", "50"},
        {"mute", "no"},
        {"speed", "1"},
        {"hwdec", "no"},
        // Subtitles beside a video with its base name come with it, and
        // text in a legacy code page is told apart from UTF-8.
        {"sub-auto", "exact"},
        {"sub-codepage", "auto"},
        // The player reads no configuration and runs nothing of the user's.
        {"config", "no"},
        {"load-scripts", "no"},
        {"osc", "no"},
        {"ytdl", "no"},
        {"load-stats-overlay", "no"},
        {"load-osd-console", "no"},
        {"load-auto-profiles", "no"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        {"terminal", "no"},
        {"resume-playback", "no"},
        {"save-position-on-quit", "no"},
        {"load-unsafe-playlists", "no"},
        {"audio-client-name", "Corvel Media Player"},
    };
    if (!audio)
        settings.push_back({"ao", "null"});
    return settings;
}
