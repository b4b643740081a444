#include "commands/playlist/PlayListPlayback.h"

#include "core/BoundedRead.h"
#include "core/PlayListText.h"
#include "core/SavedFile.h"
#include "core/WplWriter.h"
#include "engine/MediaEngine.h"
#include "widgets/CommonDialog.h"
#include "widgets/PlayListBox.h"

#include <QDir>
#include <QLineEdit>
#include <QLocale>
#include <memory>

namespace {

const QString errorTitle = QStringLiteral("Error");
const QString outputName = QStringLiteral("PlayList1.wpl");

// The pieces and the saved list are small; anything bigger is not what the
// user meant to turn into a play list. The same bound as Load List's.
constexpr qint64 maxInputBytes = 64 * 1024 * 1024;

// The bytes of one input of Generate, or why it cannot be used.
BoundedRead readInput(const QString &path, QString *why)
{
    const QString shown = QDir::toNativeSeparators(path);
    const BoundedRead read = BoundedRead::file(path, maxInputBytes);
    switch (read.failure) {
    case BoundedRead::Failure::None:
        break;
    case BoundedRead::Failure::NotAFile:
        *why = QStringLiteral("%1 is not a file.").arg(shown);
        break;
    case BoundedRead::Failure::TooLarge:
        *why = QStringLiteral("At more than %1 MB, %2 is too large for a play list.")
                   .arg(maxInputBytes / (1024 * 1024))
                   .arg(shown);
        break;
    case BoundedRead::Failure::Missing:
    case BoundedRead::Failure::Unreadable:
        *why = QStringLiteral("%1 cannot be read: %2.").arg(shown, read.error);
        break;
    }
    return read;
}

// Where a head or tail piece is in folders, or "" with why it is missing.
QString piecePath(const QString &name, const QStringList &folders, QString *why)
{
    const QString found = WplWriter::findPiece(name, folders);
    if (found.isEmpty()) {
        QStringList shown;
        for (const QString &folder : folders)
            shown << QDir::toNativeSeparators(folder);
        *why = QStringLiteral("%1 is missing; it was looked for in %2.")
                   .arg(name, shown.join(QLatin1String(", ")));
    }
    return found;
}

// The head or tail piece of that name, wherever in folders it is found.
BoundedRead readPiece(const QString &name, const QStringList &folders, QString *why)
{
    const QString path = piecePath(name, folders, why);
    return path.isEmpty() ? BoundedRead{{}, BoundedRead::Failure::Missing, *why}
                          : readInput(path, why);
}

// Generate's document from the saved list and the pieces found in folders,
// or "" with why not. Everything is read, bounded and built before the output
// is opened.
QByteArray generatedDocument(const QString &savedList, const QStringList &folders, QString *why)
{
    const BoundedRead head = readPiece(QStringLiteral("Pl1.txt"), folders, why);
    if (!head.ok())
        return {};
    const BoundedRead saved = readInput(savedList, why);
    if (!saved.ok())
        return {};
    if (WplWriter::entryCount(saved.bytes, PlayListText::maxEntries + 1) >
        PlayListText::maxEntries) {
        *why = QStringLiteral("With more than %1 entries, %2 is too long for a play list.")
                   .arg(QLocale(QLocale::English).toString(PlayListText::maxEntries),
                        QDir::toNativeSeparators(savedList));
        return {};
    }
    const BoundedRead tail = readPiece(QStringLiteral("pl3.txt"), folders, why);
    if (!tail.ok())
        return {};
    WplWriter::Document document = WplWriter::generate(head.bytes, saved.bytes, tail.bytes);
    *why = document.error;
    return document.bytes;
}

// All of Generate: why it failed, or "". writing turns true once the inputs
// are read. The output is not written once the result is no longer wanted.
QString generate(const QString &savedList, const QStringList &folders, const QString &output,
                 const std::atomic<bool> &givenUp, std::atomic<bool> &writing)
{
    QString why;
    const QByteArray document = generatedDocument(savedList, folders, &why);
    if (!why.isEmpty() || givenUp)
        return why;
    writing = true;
    const QString failure = SavedFile::write(output, document, &givenUp);
    if (!failure.isEmpty())
        why = QStringLiteral("%1 cannot be written: %2.")
                  .arg(QDir::toNativeSeparators(output), failure);
    return why;
}

} // namespace

PlayListPlayback::PlayListPlayback(MediaEngine &engine, CommonDialog &dialog,
                                   PlayListBox &playList1, QLineEdit &plName, QObject *parent)
    : QObject(parent), m_engine(engine), m_dialog(dialog), m_playList1(playList1), m_plName(plName)
{
}

void PlayListPlayback::cmdPLLoad_Click()
{
    // Like every other dialog command: a cancel returns normally and reads
    // as an empty name, which a name left over from an earlier use must not
    // be taken for.
    const QString chosen = m_dialog.askForFile(
        QStringLiteral("Default|PlayList1.wpl|Media "
                       "Playlist(*.asx;*.m3u;*.wpl;*.wvx;*.wmx)|*.asx;*.m3u;*.wpl;*.wvx;*.wmx|"));
    if (!chosen.isEmpty())
        loadPlayListFile(chosen);
}

void PlayListPlayback::loadPlayListFile(const QString &path)
{
    m_plName.setText(path);
    m_engine.setUrl(path);
}

void PlayListPlayback::cmdGenerate_Click()
{
    if (m_generating.busy())
        return;
    const QDir here = QDir::current();
    const QString savedList = here.absoluteFilePath(QStringLiteral("PlayList1.txt"));
    const QString output = here.absoluteFilePath(outputName);
    const QStringList folders = WplWriter::pieceFolders();
    // Which of its files did not answer, for the message.
    const auto writing = std::make_shared<std::atomic<bool>>(false);
    const auto work = [=](const std::atomic<bool> &givenUp) -> FileJob::Finish {
        const QString why = generate(savedList, folders, output, givenUp, *writing);
        return [this, why] {
            if (!why.isEmpty())
                m_dialog.showMessage(
                    QStringLiteral("%1 was not generated. %2").arg(outputName, why), errorTitle);
        };
    };
    const auto late = [this, savedList, writing] {
        const QString what = *writing ? QStringLiteral("it could not be written")
                                      : QStringLiteral("%1 or its pieces could not be read")
                                            .arg(QDir::toNativeSeparators(savedList));
        m_dialog.showMessage(QStringLiteral("%1 was not generated: %2 in time (no answer within "
                                            "%3 seconds).")
                                 .arg(outputName, what)
                                 .arg(m_generating.deadline() / 1000),
                             errorTitle);
    };
    if (!m_generating.start(work, late))
        m_dialog.showMessage(QStringLiteral("%1 was not generated: files read earlier have still "
                                            "not answered.")
                                 .arg(outputName),
                             errorTitle);
}

void PlayListPlayback::cmdPlsi_Click()
{
    const int n = m_playList1.listCount();
    if (n == 0)
        return;
    // Entry 0 is Activated even when it is already selected, so a second
    // press starts the whole list again rather than all but its first entry.
    if (m_playList1.listIndex() == 0)
        m_playList1.setListIndex(-1);
    m_playList1.setListIndex(0);
    for (int k = 1; k < n; ++k) {
        m_engine.setUrl(m_playList1.list(k));
        m_engine.play();
    }
}
