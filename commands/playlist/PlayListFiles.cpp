#include "commands/playlist/PlayListFiles.h"

#include "core/BoundedRead.h"
#include "core/PlayListText.h"
#include "core/SavedFile.h"
#include "widgets/CommonDialog.h"
#include "widgets/PlayListBox.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace {

// Far beyond any real list (100,000 entries take about 10 MB); it keeps a
// wrong pick such as a film from eating the memory.
constexpr qint64 maxListBytes = 64 * 1024 * 1024;

const QString errorTitle = QStringLiteral("Error");

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

// What Load List's read found.
struct PlayListFiles::Loaded
{
    BoundedRead::Failure failure = BoundedRead::Failure::None;
    bool folder = false;
    QStringList entries;
};

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
                                 .arg(shown(target), entries.at(bad)),
                             errorTitle);
        return;
    }

    // The entries are the list as it is now; the file may take its time.
    const auto save = [this, target, entries](const std::atomic<bool> &givenUp) -> FileJob::Finish {
        const QString why = SavedFile::write(target, PlayListText::write(entries), &givenUp);
        return [this, target, why] {
            if (!why.isEmpty())
                m_dialog.showMessage(QStringLiteral("The play list could not be saved to %1: %2.")
                                         .arg(shown(target), why),
                                     errorTitle);
        };
    };
    const auto late = [this, target] {
        m_dialog.showMessage(QStringLiteral("The play list could not be saved to %1 in time: it "
                                            "did not answer within %2 seconds.")
                                 .arg(shown(target))
                                 .arg(m_saving.deadline() / 1000),
                             errorTitle);
    };
    if (!m_saving.start(save, late))
        m_dialog.showMessage(QStringLiteral("The play list was not saved to %1: files opened "
                                            "earlier have still not answered.")
                                 .arg(shown(target)),
                             errorTitle);
}

void PlayListFiles::cmdLoadList_Click()
{
    const QString source = m_dialog.askForFile(QStringLiteral("*.txt"));
    if (source.isEmpty())
        return;

    // Nothing of the window is touched on the reading thread; the list is
    // replaced only once the whole file is read, so a wrong name costs
    // nothing.
    const auto read = [this, source](const std::atomic<bool> &) -> FileJob::Finish {
        Loaded loaded;
        const BoundedRead file = BoundedRead::file(source, maxListBytes);
        loaded.failure = file.failure;
        if (file.ok())
            loaded.entries = PlayListText::read(file.bytes);
        else if (file.failure == BoundedRead::Failure::NotAFile)
            loaded.folder = QFileInfo(source).isDir();
        return [this, source, loaded] { takeList(source, loaded); };
    };
    const auto late = [this, source] {
        m_dialog.showMessage(QStringLiteral("%1 could not be read in time: it did not answer "
                                            "within %2 seconds. The play list is unchanged.")
                                 .arg(shown(source))
                                 .arg(m_loading.deadline() / 1000),
                             errorTitle);
    };
    if (!m_loading.start(read, late))
        m_dialog.showMessage(QStringLiteral("%1 was not read: files read earlier have still not "
                                            "answered.")
                                 .arg(shown(source)),
                             errorTitle);
}

void PlayListFiles::takeList(const QString &source, const Loaded &loaded)
{
    switch (loaded.failure) {
    case BoundedRead::Failure::None:
        break;
    case BoundedRead::Failure::TooLarge:
        m_dialog.showMessage(QStringLiteral("%1 was not loaded: at more than %2 MB it is too "
                                            "large for a play list.")
                                 .arg(shown(source))
                                 .arg(maxListBytes / (1024 * 1024)),
                             errorTitle);
        return;
    case BoundedRead::Failure::NotAFile:
        // Refused before any read: a pipe or a device may never answer.
        if (!loaded.folder) {
            m_dialog.showMessage(
                QStringLiteral("%1 was not loaded: it is a pipe or a device, not a file.")
                    .arg(shown(source)),
                errorTitle);
            return;
        }
        Q_FALLTHROUGH();
    case BoundedRead::Failure::Missing:
    case BoundedRead::Failure::Unreadable:
        m_dialog.showMessage(QStringLiteral("File Not Found"), errorTitle);
        return;
    }
    if (loaded.entries.size() > PlayListText::maxEntries) {
        m_dialog.showMessage(QStringLiteral("%1 was not loaded: with more than %2 entries it is "
                                            "too long for a play list.")
                                 .arg(shown(source))
                                 .arg(QLocale(QLocale::English).toString(PlayListText::maxEntries)),
                             errorTitle);
        return;
    }

    m_playList1.setUpdatesEnabled(false);
    m_playList1.clearEntries();
    for (const QString &entry : loaded.entries)
        m_playList1.addEntry(entry);
    m_playList1.setUpdatesEnabled(true);
}
