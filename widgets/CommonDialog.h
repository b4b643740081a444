#pragma once

#include <QColor>
#include <QString>
#include <optional>

// The window's common dialog (CommonDialog1): an Open dialog and a Colour
// dialog with the properties the commands read and write, and the message
// box through which every command reports a failure. A cancel returns
// normally and leaves fileName() and color() as they were. Subclasses supply
// the dialogs.
class CommonDialog
{
public:
    virtual ~CommonDialog() = default;

    // Whether a cancel should count as an error. The commands turn it off
    // before each Open dialog; a cancel is always told by the answer of
    // showOpen() or showColor() and the unchanged name or colour.
    void setCancelError(bool on) { m_cancelError = on; }
    bool cancelError() const { return m_cancelError; }

    // "description|pattern|description|pattern|..." or one bare pattern.
    void setFilter(const QString &filter) { m_filter = filter; }
    QString filter() const { return m_filter; }

    // Before showOpen(): the name shown in the dialog's name box. After a
    // choice: the full path of the chosen file.
    void setFileName(const QString &name) { m_fileName = name; }
    QString fileName() const { return m_fileName; }

    void setColor(QColor colour) { m_color = colour; }
    QColor color() const { return m_color; }

    // Shows the modal Open dialog; returns whether the user chose a file. It
    // accepts names of files that do not exist yet, since saving goes
    // through it.
    bool showOpen();
    // Shows the modal Colour dialog; returns whether the user chose a colour.
    bool showColor();

    // The steps of every command that asks for one file: cancelError off,
    // this filter, the Open dialog; then the name in fileName(), which is
    // cleared so that the next dialog can tell a cancel from a choice. An
    // empty fileName() afterwards is a cancel: "" is returned.
    QString askForFile(const QString &filter);
    // A modal message box with a single OK button and no icon; a text too
    // long for the screen scrolls inside it.
    virtual void showMessage(const QString &text, const QString &title) = 0;

protected:
    // The dialogs themselves: return the chosen path or colour, or nothing on
    // a cancel.
    virtual std::optional<QString> runOpenDialog(const QString &filter,
                                                 const QString &initialName) = 0;
    virtual std::optional<QColor> runColorDialog(QColor initial) = 0;

private:
    bool m_cancelError = false;
    QString m_filter;
    QString m_fileName;
    QColor m_color = QColor(0, 0, 0);
};
