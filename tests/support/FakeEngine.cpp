#include "support/FakeEngine.h"

FakeEngine::FakeEngine() = default;
FakeEngine::~FakeEngine() = default;

QWidget *FakeEngine::widget()
{
    if (!m_widget) {
        // A plain widget: the window may take it over as its child.
        m_ownedWidget = std::make_unique<QWidget>();
        m_widget = m_ownedWidget.release();
    }
    return m_widget;
}

void FakeEngine::setUrl(const QString &url)
{
    m_url = url;
    calls << QStringLiteral("url=") + url;
}

void FakeEngine::play() { calls << QStringLiteral("play"); }
void FakeEngine::pause() { calls << QStringLiteral("pause"); }
void FakeEngine::stop() { calls << QStringLiteral("stop"); }
void FakeEngine::fastForward() { calls << QStringLiteral("fastForward"); }
void FakeEngine::fastReverse() { calls << QStringLiteral("fastReverse"); }

void FakeEngine::setVolume(int percent)
{
    m_volume = percent;
    calls << QStringLiteral("volume=%1").arg(percent);
}

std::optional<double> FakeEngine::duration() const
{
    const_cast<FakeEngine *>(this)->calls << QStringLiteral("duration");
    return scriptedDuration;
}

QString FakeEngine::status() const
{
    const_cast<FakeEngine *>(this)->calls << QStringLiteral("status");
    return scriptedStatus;
}

QStringList FakeEngine::commands() const
{
    QStringList result;
    for (const QString &call : calls)
        if (call != QLatin1String("duration") && call != QLatin1String("status"))
            result << call;
    return result;
}
