#include "core/MediaFilters.h"

QString mediaFilterText(bool movieRowNamesM4a)
{
    const QString movieDescription =
        movieRowNamesM4a
            ? QStringLiteral(
                  "Movie file (*.mpeg;*.mpg;*.m4a;*.mod;*.m2v;*.m1v;*.mpa;*.mpe;*.ifo;*.vob)")
            : QStringLiteral("Movie file (*.mpeg;*.mpg;*.mod;*.m2v;*.m1v;*.mpa;*.mpe;*.ifo;*.vob)");
    return QStringLiteral(
               "Media Playlist(*.asx;*.m3u;*.wpl;*.wvx;*.wmx)|*.asx;*.m3u;*.wpl;*.wvx;*.wmx|"
               "Microsoft Recorded TV Show (*.drv-ms;*.wtv)|*.drv-ms;*.wtv|"
               "MIDI file (*.mid;*.rmi;*.midi)|*.mid;*.rmi;*.midi|") +
           movieDescription +
           QStringLiteral(
               "|*.mpeg;*.mpg;*.mod;*.m2v;*.m1v;*.mpa;*.mpe;*.ifo;*.vob|"
               "MP4 Audio file (*.m4a)|*.m4a|"
               "MP4 Video file (*.mp4;*.m4v;*.3gp;*.3gpp;*.3g2;*.3gp2)|"
               "*.mp4;*.m4v;*.3gp;*.3gpp;*.3g2;*.3gp2|"
               "MPEG-2 TS Video file (*.m2ts;*.m2t;*.mts;*.ts;*.tts)| "
               "*.m2ts;*.m2t;*.mts;*.ts;*.tts|"
               "QuickTime Movie file (*.mov)|*.mov|"
               "Windows audio file (wav)(*.wav;*.snd;*.au;*.aif;*.aifc;*.wma;*.mp2;*.mp3)|"
               "*.wav;*.snd;*.au;*.aif;*.aifc;*.wma;*.mp2;*.mp3|"
               "Windows Media file (asf) "
               "(*.asf;*.wm;*.wma;*.wmv;*.wmd)|*.asf;*.wm;*.wma;*.wmv;*.wmd|"
               "Windows picture file (jpg) (*.jpg;*.jpeg)|*.jpg;*.jpeg|"
               "Windows video file (avi) (*.avi;*.wmv)|*.avi;*.wmv|"
               "All File (*.*)|*.*|");
}
