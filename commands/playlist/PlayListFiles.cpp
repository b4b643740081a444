#include "commands/playlist/PlayListFiles.h"

#include "widgets/CommonDialog.h"
#include "widgets/PlayListBox.h"
#include "core/PlayListText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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
    m_dialog.setCancelError(false);
    m_dialog.setFilter(QStringLiteral("Text File (*.txt)|*.txt|"));
    m_dialog.showOpen();
    if (m_dialog.fileName().isEmpty())
        return;
    const QString target = m_dialog.fileName();
    m_dialog.setFileName(QString());

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

    // Written beside the target and renamed over it, so a failure leaves the
    // old file as it was.
    QSaveFile file(target);
    const QByteArray bytes = PlayListText::write(entries);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        m_dialog.showMessage(QStringLiteral("The play list could not be saved to %1: %2.")
                                 .arg(QDir::toNativeSeparators(target), file.errorString()),
                             errorTitle);
    }
}

void PlayListFiles::cmdLoadList_Click()
{
    m_dialog.setCancelError(false);
    m_dialog.setFilter(QStringLiteral("*.txt"));
    m_dialog.showOpen();
    if (m_dialog.fileName().isEmpty())
        return;
    const QString source = m_dialog.fileName();
    m_dialog.setFileName(QString());

    // The whole file is read before the list is touched, so a wrong name
    // costs nothing. Only regular files are opened: a pipe would block.
    const QFileInfo info(source);
    QFile file(source);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        m_dialog.showMessage(QStringLiteral("File Not Found"), errorTitle);
        return;
    }
    if (file.size() > maxListBytes) {
        m_dialog.showMessage(
            QStringLiteral("%1 was not loaded: at %2 MB it is too large for a play list.")
                .arg(QDir::toNativeSeparators(source))
                .arg(file.size() / (1024 * 1024)),
            errorTitle);
        return;
    }
    const QByteArray bytes = file.read(maxListBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > maxListBytes) {
        m_dialog.showMessage(QStringLiteral("File Not Found"), errorTitle);
        return;
    }
    const QStringList entries = PlayListText::read(bytes);

    m_playList1.setUpdatesEnabled(false);
    m_playList1.clearEntries();
    for (const QString &entry : entries)
        m_playList1.addEntry(entry);
    m_playList1.setUpdatesEnabled(true);
}
