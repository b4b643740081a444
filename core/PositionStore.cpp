#include "core/PositionStore.h"

#include "core/BoundedRead.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>
#include <cmath>

Q_LOGGING_CATEGORY(corvelPositions, "corvel.positions")

namespace {

// The first line names the file's kind, its format and how many entries
// follow, so a file cut short at a line's end still tells.
const QByteArray header = "corvel-media-player positions 1 ";
constexpr int keyLength = 64;

bool isKey(const QByteArray &text)
{
    if (text.size() != keyLength)
        return false;
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

} // namespace

QString PositionStore::defaultPath()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QLatin1String("/.local/state");
    return state + QLatin1String("/corvel-media-player/positions");
}

QByteArray PositionStore::keyOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return {};
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty())
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QFile::encodeName(canonical));
    hash.addData(QByteArrayView("\0", 1));
    hash.addData(QByteArray::number(info.size()));
    return hash.result().toHex();
}

PositionStore::PositionStore(const QString &path) : m_path(path) {}

std::optional<double> PositionStore::position(const QByteArray &key) const
{
    for (const auto &entry : load())
        if (entry.first == key)
            return entry.second;
    return std::nullopt;
}

bool PositionStore::remember(const QByteArray &key, double seconds)
{
    if (!isKey(key) || !std::isfinite(seconds) || seconds < 0)
        return false;
    Entries entries = load();
    entries.removeIf([&key](const auto &entry) { return entry.first == key; });
    entries.append({key, seconds});
    if (entries.size() > maxEntries)
        entries.remove(0, entries.size() - maxEntries);
    return save(entries);
}

bool PositionStore::forget(const QByteArray &key)
{
    Entries entries = load();
    if (entries.removeIf([&key](const auto &entry) { return entry.first == key; }) == 0)
        return true;
    return save(entries);
}

bool PositionStore::clear(QString *why)
{
    QFile file(m_path);
    if (!file.exists() || file.remove())
        return true;
    if (why)
        *why = file.errorString();
    return false;
}

PositionStore::Entries PositionStore::load() const
{
    const BoundedRead read = BoundedRead::file(m_path, maxBytes);
    if (!read.ok())
        return {};
    QList<QByteArray> lines = read.bytes.split('\n');
    // The file ends with a line break, which leaves one empty piece.
    if (lines.size() < 2 || !lines.last().isEmpty() || !lines.first().startsWith(header))
        return {};
    lines.removeLast();
    bool counted = false;
    const int count = lines.first().mid(header.size()).toInt(&counted);
    if (!counted || count < 0 || count > maxEntries || count != lines.size() - 1)
        return {};
    Entries entries;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines.at(i).split(' ');
        bool isNumber = false;
        const double seconds = fields.size() == 2 ? fields.at(1).toDouble(&isNumber) : 0;
        if (!isNumber || !isKey(fields.at(0)) || !std::isfinite(seconds) || seconds < 0)
            return {};
        entries.append({fields.at(0), seconds});
    }
    return entries;
}

bool PositionStore::save(const Entries &entries)
{
    QByteArray bytes = header + QByteArray::number(entries.size()) + '\n';
    for (const auto &entry : entries)
        bytes += entry.first + ' ' + QByteArray::number(entry.second, 'f', 3) + '\n';

    const QString folder = QFileInfo(m_path).absolutePath();
    const bool madeFolder = !QFileInfo::exists(folder) && QDir().mkpath(folder);
    if (madeFolder)
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QSaveFile file(m_path);
    // Private from the first byte, whatever an earlier file allowed.
    if (file.open(QIODevice::WriteOnly) &&
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner) &&
        file.write(bytes) == bytes.size() && file.flush() && file.commit())
        return true;
    if (!m_toldUnwritable) {
        m_toldUnwritable = true;
        qCWarning(corvelPositions, "Positions cannot be kept in %s: %s", qPrintable(folder),
                  qPrintable(file.errorString()));
    }
    return false;
}
