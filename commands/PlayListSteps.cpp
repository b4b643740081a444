#include "commands/PlayListSteps.h"

#include "widgets/PlayListBox.h"

PlayListSteps::PlayListSteps(const PlayListBox &playList1) : m_playList1(playList1) {}

int PlayListSteps::next() const
{
    const int after = m_playList1.listIndex() + 1;
    return after < m_playList1.listCount() ? after : -1;
}

bool PlayListSteps::hasPrevious() const
{
    return m_playList1.listIndex() >= 0;
}

int PlayListSteps::previous() const
{
    return m_playList1.listIndex() - 1 >= 0 ? m_playList1.listIndex() - 1 : -1;
}

int PlayListSteps::afterEnd(const QString &url) const
{
    const int finished = m_playList1.listIndex();
    if (finished < 0 || m_playList1.list(finished) != url)
        return -1;
    return next();
}
