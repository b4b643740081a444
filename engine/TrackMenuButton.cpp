#include "engine/TrackMenuButton.h"

#include "engine/AccessibleMenuButton.h"

#include <QActionGroup>
#include <QMenu>

TrackMenuButton::TrackMenuButton(MediaTrack::Type type, QWidget *parent)
    : QToolButton(parent), m_type(type), m_menu(new QMenu(this))
{
    setMenu(m_menu);
    setPopupMode(QToolButton::InstantPopup);
    // No arrow: the bar has no room for one, and the glyph says enough.
    setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
    setVisible(false);
    AccessibleMenuButton::install();
}

void TrackMenuButton::setTracks(const QList<MediaTrack> &tracks)
{
    const QList<MediaTrack> mine = MediaTrack::ofType(tracks, m_type);
    const bool subtitles = m_type == MediaTrack::Type::Subtitle;
    m_hasChoice = subtitles ? !mine.isEmpty() : mine.size() > 1;
    // A menu open on screen is not rebuilt under the pointer for nothing.
    if (mine != m_tracks) {
        m_tracks = mine;
        m_menu->clear();
        auto *group = new QActionGroup(m_menu);
        const auto offer = [this, group](const QString &text, int id, bool checked) {
            QAction *action = m_menu->addAction(text);
            action->setCheckable(true);
            action->setChecked(checked);
            action->setData(id);
            group->addAction(action);
            connect(action, &QAction::triggered, this, [this, id] {
                // A screen reader's choice leaves the menu open otherwise.
                m_menu->hide();
                emit trackChosen(m_type, id);
            });
        };
        if (subtitles) {
            bool any = false;
            for (const MediaTrack &track : mine)
                any = any || track.selected;
            offer(tr("Off"), 0, !any);
        }
        for (const MediaTrack &track : mine)
            offer(track.label(), track.id, track.selected);
    }
    setVisible(m_hasChoice);
}
