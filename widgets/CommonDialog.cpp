#include "widgets/CommonDialog.h"

bool CommonDialog::showOpen()
{
    const std::optional<QString> chosen = runOpenDialog(m_filter, m_fileName);
    if (!chosen) {
        if (m_cancelError)
            throw DialogCancelled();
        return false;
    }
    m_fileName = *chosen;
    return true;
}

bool CommonDialog::showColor()
{
    const std::optional<QColor> chosen = runColorDialog(m_color);
    if (!chosen) {
        if (m_cancelError)
            throw DialogCancelled();
        return false;
    }
    m_color = *chosen;
    return true;
}
