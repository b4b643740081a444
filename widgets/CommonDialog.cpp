#include "widgets/CommonDialog.h"

bool CommonDialog::showOpen()
{
    const std::optional<QString> chosen = runOpenDialog(m_filter, m_fileName);
    if (!chosen)
        return false;
    m_fileName = *chosen;
    return true;
}

bool CommonDialog::showColor()
{
    const std::optional<QColor> chosen = runColorDialog(m_color);
    if (!chosen)
        return false;
    m_color = *chosen;
    return true;
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
