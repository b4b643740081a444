#include "support/ScriptedDialog.h"

#include <QtGlobal>

void ScriptedDialog::runMessage(const QString &text, const QString &title)
{
    messages << title + QStringLiteral(": ") + text;
}

std::optional<QString> ScriptedDialog::runOpenDialog(const QString &filter,
                                                     const QString &initialName)
{
    openShown << Shown{filter, initialName};
    if (m_openAnswers.empty())
        qFatal("The Open dialog was shown with no answer queued");
    const std::optional<QString> answer = m_openAnswers.front();
    m_openAnswers.pop_front();
    return answer;
}

std::optional<QColor> ScriptedDialog::runColorDialog(QColor)
{
    ++colorShown;
    if (m_colorAnswers.empty())
        qFatal("The Colour dialog was shown with no answer queued");
    const std::optional<QColor> answer = m_colorAnswers.front();
    m_colorAnswers.pop_front();
    return answer;
}
