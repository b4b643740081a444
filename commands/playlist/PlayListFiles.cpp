#include "commands/playlist/PlayListFiles.h"

#include "core/BoundedRead.h"
#include "core/PlayListText.h"
#include "core/SavedFile.h"
#include "widgets/CommonDialog.h"
#include "widgets/PlayListBox.h"

#include <QDir>
#include <QLocale>

namespace {

// Far beyond any real list (100,000 entries take about 10 MB); it keeps a
// wrong pick such as a film from eating the memory.
constexpr qint64 maxListBytes = 64 * 1024 * 1024;

const QString errorTitle = QStringLiteral("Error");

} // namespace

PlayListFiles::PlayListFiles(CommonDialog &dialog, PlayListBox &playList1, QObject *parent)
    : QObject(parent), m_dialog(dialog), m_playList1(playList1)
{
}

void PlayListFiles::cmdSaveList_Click()
{
    const QString target = m_dialog.askForFile(QStringLiteral("Text File (*.txt)|*.txt|"));
    if (target.isEmpty())
        return;

    QStringList entries;
    entries.reserve(m_playList1.listCount());
    for (int i = 0; i < m_playList1.listCount(); ++i)
        entries << m_playList1.list(i);

    // Such an entry would load back as something else; refuse it rather than
    // hand the user a file that silently changes their list.
    const qsizetype bad = PlayListText::firstUnwritable(entries);
    if (bad >= 0) {
        m_dialog.showMessage(QStringLiteral("The play list was not saved to %1, because this entry "
                                            "holds a double quote or a line break, which a "
                                            "play-list file cannot hold:\n\n%2")
                                 .arg(QDir::toNativeSeparators(target), entries.at(bad)),
                             errorTitle);
        return;
    }

    const QString why = SavedFile::write(target, PlayListText::write(entries));
    if (!why.isEmpty()) {
        m_dialog.showMessage(QStringLiteral("The play list could not be saved to %1: %2.")
                                 .arg(QDir::toNativeSeparators(target), why),
                             errorTitle);
    }
}

void PlayListFiles::cmdLoadList_Click()
{
    const QString source = m_dialog.askForFile(QStringLiteral("*.txt"));
    if (source.isEmpty())
        return;

    // The whole file is read before the list is touched, so a wrong name
    // costs nothing.
    const BoundedRead read = BoundedRead::file(source, maxListBytes);
    if (read.failure == BoundedRead::Failure::TooLarge) {
        m_dialog.showMessage(QStringLiteral("%1 was not loaded: at more than %2 MB it is too "
                                            "large for a play list.")
                                 .arg(QDir::toNativeSeparators(source))
                                 .arg(maxListBytes / (1024 * 1024)),
                             errorTitle);
        return;
    }
    if (!read.ok()) {
        m_dialog.showMessage(QStringLiteral("File Not Found"), errorTitle);
        return;
    }
    const QStringList entries = PlayListText::read(read.bytes);
    if (entries.size() > PlayListText::maxEntries) {
        m_dialog.showMessage(QStringLiteral("%1 was not loaded: with more than %2 entries it is "
                                            "too long for a play list.")
                                 .arg(QDir::toNativeSeparators(source))
                                 .arg(QLocale(QLocale::English).toString(PlayListText::maxEntries)),
                             errorTitle);
        return;
    }

    m_playList1.setUpdatesEnabled(false);
    m_playList1.clearEntries();
    for (const QString &entry : entries)
        m_playList1.addEntry(entry);
    m_playList1.setUpdatesEnabled(true);
}
