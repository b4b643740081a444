#pragma once

#include <QString>

class PlayListBox;

// What plays next and before in the play list, for Next, Previous, the end
// of a medium and the desktop's media controls alike: the one place that
// decides it. It only reads the list; playing an entry is selecting it,
// which runs its click.
class PlayListSteps
{
public:
    // Reads this list, which must outlive it.
    explicit PlayListSteps(const PlayListBox &playList1);

    // The position Next selects: the one after the selected entry, or -1
    // when there is none (the last entry is selected, or the list is empty).
    int next() const;
    // Whether Previous moves at all: only while an entry is selected.
    bool hasPrevious() const;
    // The position Previous selects: the one before the selected entry, or
    // -1 (nothing, which leaves the engine without a medium) before the first.
    int previous() const;
    // The position that follows a medium that has played to its end with
    // the engine holding url: the one after the selected entry when that
    // entry is what ended, else -1 (a file from elsewhere, or the last entry).
    int afterEnd(const QString &url) const;

private:
    const PlayListBox &m_playList1;
};
