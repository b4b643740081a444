#include "widgets/CommonDialog.h"

#include "core/ShortText.h"

#include <utility>

bool CommonDialog::showOpen()
{
    if (m_showing)
        return false;
    m_showing = true;
    const std::optional<QString> chosen = runOpenDialog(m_filter, m_fileName);
    m_showing = false;
    showHeld();
    if (!chosen)
        return false;
    m_fileName = *chosen;
    return true;
}

bool CommonDialog::showColor()
{
    if (m_showing)
        return false;
    m_showing = true;
    const std::optional<QColor> chosen = runColorDialog(m_color);
    m_showing = false;
    showHeld();
    if (!chosen)
        return false;
    m_color = *chosen;
    return true;
}

void CommonDialog::showMessage(const QString &text, const QString &title)
{
    if (m_showing) {
        if (m_held.isEmpty())
            m_heldTitle = title;
        if (m_held.size() < heldMessages)
            m_held << ShortText::lines(text);
        else
            ++m_heldMore;
        return;
    }
    m_showing = true;
    runMessage(ShortText::lines(text), title);
    m_showing = false;
    showHeld();
}

void CommonDialog::showHeld()
{
    if (m_held.isEmpty())
        return;
    QString text = std::exchange(m_held, {}).join(QStringLiteral("\n\n"));
    if (const int more = std::exchange(m_heldMore, 0))
        text += QStringLiteral("\n\nand %1 more messages.").arg(more);
    showMessage(text, m_heldTitle);
}

QString CommonDialog::askForFile(const QString &filter)
{
    setCancelError(false);
    setFilter(filter);
    showOpen();
    // A cancel leaves the name as it was, so only an empty name tells it.
    const QString chosen = fileName();
    if (!chosen.isEmpty())
        setFileName(QString());
    return chosen;
}
