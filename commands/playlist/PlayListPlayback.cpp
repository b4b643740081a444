#include "commands/playlist/PlayListPlayback.h"

#include "widgets/CommonDialog.h"
#include "engine/MediaEngine.h"
#include "widgets/PlayListBox.h"
#include "core/WplWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSaveFile>

namespace {

const QString errorTitle = QStringLiteral("Error");
const QString outputName = QStringLiteral("PlayList1.wpl");

// The pieces and the saved list are small; anything bigger is not what the
// user meant to turn into a play list.
constexpr qint64 maxInputBytes = 64 * 1024 * 1024;

class GenerateError : public std::runtime_error
{
public:
    explicit GenerateError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

QByteArray readInput(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!QFileInfo(path).isFile() && QFileInfo::exists(path))
        throw GenerateError(QStringLiteral("%1 is not a file.").arg(shown));
    if (!file.open(QIODevice::ReadOnly))
        throw GenerateError(
            QStringLiteral("%1 cannot be read: %2.").arg(shown, file.errorString()));
    if (file.size() > maxInputBytes)
        throw GenerateError(QStringLiteral("%1 is too large.").arg(shown));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw GenerateError(
            QStringLiteral("%1 cannot be read: %2.").arg(shown, file.errorString()));
    return bytes;
}

QString piecePath(const QString &name)
{
    const QStringList folders = WplWriter::pieceFolders();
    const QString found = WplWriter::findPiece(name, folders);
    if (found.isEmpty()) {
        QStringList shown;
        for (const QString &folder : folders)
            shown << QDir::toNativeSeparators(folder);
        throw GenerateError(
            QStringLiteral("%1 is missing; it was looked for in %2.").arg(name, shown.join(", ")));
    }
    return found;
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
    m_dialog.setCancelError(false);
    m_dialog.setFilter(QStringLiteral("Default|PlayList1.wpl|Media "
                                      "Playlist(*.asx;*.m3u;*.wpl;*.wvx;*.wmx)|*.asx;*.m3u;*.wpl;"
                                      "*.wvx;*.wmx|"));
    m_dialog.showOpen();
    if (m_dialog.fileName().isEmpty())
        return;
    const QString chosen = m_dialog.fileName();
    m_dialog.setFileName(QString());
    loadPlayListFile(chosen);
}

void PlayListPlayback::loadPlayListFile(const QString &path)
{
    m_plName.setText(path);
    m_engine.setUrl(path);
}

void PlayListPlayback::cmdGenerate_Click()
{
    const QString output = QDir::current().absoluteFilePath(outputName);
    try {
        // Everything is read and built before the output is opened, and the
        // output is renamed into place: a failure leaves no partial file and
        // any earlier PlayList1.wpl as it was.
        const QByteArray head = readInput(piecePath(QStringLiteral("Pl1.txt")));
        const QByteArray saved =
            readInput(QDir::current().absoluteFilePath(QStringLiteral("PlayList1.txt")));
        const QByteArray tail = readInput(piecePath(QStringLiteral("pl3.txt")));
        const QByteArray document = WplWriter::generate(head, saved, tail);

        QSaveFile file(output);
        if (!file.open(QIODevice::WriteOnly) || file.write(document) != document.size() ||
            !file.commit()) {
            throw GenerateError(QStringLiteral("%1 cannot be written: %2.")
                                    .arg(QDir::toNativeSeparators(output), file.errorString()));
        }
    } catch (const std::runtime_error &error) {
        m_dialog.showMessage(QStringLiteral("%1 was not generated. %2")
                                 .arg(outputName, QString::fromUtf8(error.what())),
                             errorTitle);
    }
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
