#include "engine/mpv/MpvOpenWatch.h"

#include "core/MediaSource.h"
#include "engine/mpv/MpvClient.h"

#include <QDir>
#include <QFile>
#include <sys/stat.h>

namespace {

// Often enough that a name made a pipe is refused within a moment; a
// regular file has opened long before the first look.
constexpr int lookMs = 200;

// Whether path names something mpv cannot read as a medium and whose open
// may wait: anything but a regular file or a folder (a play list to mpv).
bool pipeOrDevice(const QString &path)
{
    struct stat status;
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && !S_ISREG(status.st_mode) &&
           !S_ISDIR(status.st_mode);
}

} // namespace

MpvOpenWatch::MpvOpenWatch(MpvClient &client, std::function<void(const QString &why)> refuse)
    : m_client(client), m_refuse(std::move(refuse))
{
    m_timer.setInterval(lookMs);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { look(); });
}

void MpvOpenWatch::start()
{
    stop();
    m_timer.start();
}

void MpvOpenWatch::stop()
{
    m_timer.stop();
    m_looking.reset();
}

void MpvOpenWatch::look()
{
    if (m_looking)
        return;
    // What mpv opens, after the engine has had its say in on_load.
    const QString name = m_client.getString("stream-open-filename");
    const MediaSource source = MediaSource::classify(name, QString());
    if (name.isEmpty() || source.kind != MediaSource::Kind::Local)
        return;
    const QString path = source.location;
    m_looking = OffThread<bool>::start([path] { return pipeOrDevice(path); },
                                       [this, path](bool refused) {
                                           m_looking.reset();
                                           if (refused)
                                               m_refuse(tr("%1 is a pipe or a device, not a "
                                                           "medium file")
                                                            .arg(QDir::toNativeSeparators(path)));
                                       });
}
