#pragma once

#include "widgets/CommonDialog.h"

#include <QList>
#include <QStringList>
#include <deque>

// A dialog double: the user's answers are queued beforehand (a path or a
// cancel; a colour or a cancel) and every showing is recorded.
class ScriptedDialog : public CommonDialog
{
public:
    struct Shown
    {
        QString filter;
        QString initialName;
    };

    void answerOpen(const QString &path) { m_openAnswers.push_back(path); }
    void cancelOpen() { m_openAnswers.push_back(std::nullopt); }
    void answerColor(QColor colour) { m_colorAnswers.push_back(colour); }
    void cancelColor() { m_colorAnswers.push_back(std::nullopt); }

    void runMessage(const QString &text, const QString &title) override;

    QList<Shown> openShown;
    int colorShown = 0;
    // Message boxes as "title: text".
    QStringList messages;

protected:
    std::optional<QString> runOpenDialog(const QString &filter,
                                         const QString &initialName) override;
    std::optional<QColor> runColorDialog(QColor initial) override;

private:
    std::deque<std::optional<QString>> m_openAnswers;
    std::deque<std::optional<QColor>> m_colorAnswers;
};
