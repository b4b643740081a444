#include "playlist/PlayList.h"

#include "browse/CommonDialog.h"
#include "playback/MediaEngine.h"
#include "playlist/PlayListBox.h"

#include <QLineEdit>
#include <QTimer>
#include <exception>

// Row 4's description names "*.m4a;", which its pattern leaves to row 5; only
// this text names it there, the Open command's does not.
const QString PlayList::addFilter = QStringLiteral(
    "Media Playlist(*.asx;*.m3u;*.wpl;*.wvx;*.wmx)|*.asx;*.m3u;*.wpl;*.wvx;*.wmx|"
    "Microsoft Recorded TV Show (*.drv-ms;*.wtv)|*.drv-ms;*.wtv|"
    "MIDI file (*.mid;*.rmi;*.midi)|*.mid;*.rmi;*.midi|"
    "Movie file (*.mpeg;*.mpg;*.m4a;*.mod;*.m2v;*.m1v;*.mpa;*.mpe;*.ifo;*.vob)|"
    "*.mpeg;*.mpg;*.mod;*.m2v;*.m1v;*.mpa;*.mpe;*.ifo;*.vob|"
    "MP4 Audio file (*.m4a)|*.m4a|"
    "MP4 Video file (*.mp4;*.m4v;*.3gp;*.3gpp;*.3g2;*.3gp2)|*.mp4;*.m4v;*.3gp;*.3gpp;*.3g2;*.3gp2|"
    "MPEG-2 TS Video file (*.m2ts;*.m2t;*.mts;*.ts;*.tts)| *.m2ts;*.m2t;*.mts;*.ts;*.tts|"
    "QuickTime Movie file (*.mov)|*.mov|"
    "Windows audio file (wav)(*.wav;*.snd;*.au;*.aif;*.aifc;*.wma;*.mp2;*.mp3)|"
    "*.wav;*.snd;*.au;*.aif;*.aifc;*.wma;*.mp2;*.mp3|"
    "Windows Media file (asf) (*.asf;*.wm;*.wma;*.wmv;*.wmd)|*.asf;*.wm;*.wma;*.wmv;*.wmd|"
    "Windows picture file (jpg) (*.jpg;*.jpeg)|*.jpg;*.jpeg|"
    "Windows video file (avi) (*.avi;*.wmv)|*.avi;*.wmv|"
    "All File (*.*)|*.*|");

PlayList::PlayList(MediaEngine &engine, CommonDialog &dialog, PlayListBox &playList1,
                   QTimer &timer1, QLineEdit &pfname, QLineEdit &text1, QLineEdit &text2,
                   QObject *parent)
    : QObject(parent), m_engine(engine), m_dialog(dialog), m_playList1(playList1), m_timer1(timer1),
      m_pfname(pfname), m_text1(text1), m_text2(text2)
{
}

void PlayList::PlayList1_Click()
{
    m_timer1.start();
    m_engine.setUrl(m_playList1.text());
    m_engine.play();
    m_pfname.setText(m_playList1.text());
}

void PlayList::cmdAdd_Click()
{
    m_dialog.setCancelError(false);
    m_dialog.setFilter(addFilter);
    m_dialog.showOpen();
    if (m_dialog.fileName().isEmpty())
        return;
    const QString path = m_dialog.fileName();
    // A cancel leaves the name as it was: clearing it is what lets the next
    // dialog tell a cancel from a choice.
    m_dialog.setFileName(QString());
    m_playList1.addEntry(path);
}

void PlayList::cmdRemove_Click()
{
    const int selected = m_playList1.listIndex();
    if (selected < 0)
        return;
    m_playList1.removeEntry(selected);
}

void PlayList::cmdNewList_Click()
{
    m_playList1.clearEntries();
}

void PlayList::cmdNext_Click()
{
    try {
        const int selected = m_playList1.listIndex();
        if (selected + 1 < m_playList1.listCount()) {
            selectAndActivate(selected + 1);
            blankTimes();
        }
    } catch (const std::exception &) {
        // Stepping never reports anything; whatever failed, the display is
        // brought back in line below.
    }
    m_timer1.start();
    m_pfname.setText(m_playList1.text());
}

void PlayList::cmdBack_Click()
{
    try {
        const int selected = m_playList1.listIndex();
        if (selected >= 1) {
            selectAndActivate(selected - 1);
            blankTimes();
        } else if (selected == 0) {
            // Before the first entry there is nothing: the engine is handed
            // the empty path, which leaves it without a medium.
            m_playList1.setListIndex(-1);
            PlayList1_Click();
            blankTimes();
        }
    } catch (const std::exception &) {
        // As in Next: nothing is reported.
    }
    m_timer1.start();
    m_pfname.setText(m_playList1.text());
}

void PlayList::selectAndActivate(int index)
{
    // Activated here rather than through listClick(), so that a failure
    // reaches the caller instead of the window's error box.
    m_playList1.setListIndexQuietly(index);
    PlayList1_Click();
}

void PlayList::blankTimes()
{
    m_text2.setText(QString());
    m_text1.setText(QString());
}
