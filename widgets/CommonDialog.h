#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>

// The window's common dialog (CommonDialog1): an Open dialog and a Colour
// dialog with the properties the commands read and write, and the message
// box through which every command reports a failure. A cancel returns
// normally and leaves fileName() and color() as they were. Subclasses supply
// the dialogs. One dialog at a time: while one is open (and a command that
// another program triggers runs inside it), asking for another is a cancel,
// and messages wait until it closes.
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
    // long for the screen scrolls inside it, and each name or line too long
    // to read is shortened (ShortText) first. Asked for while a dialog is
    // open, it is shown once that one closes, together with the others that
    // came meanwhile (past heldMessages, only their count).
    void showMessage(const QString &text, const QString &title);
    // How many messages that came while a dialog was open are shown in full.
    static constexpr int heldMessages = 20;

protected:
    // The message box itself.
    virtual void runMessage(const QString &text, const QString &title) = 0;
    // The dialogs themselves: return the chosen path or colour, or nothing on
    // a cancel.
    virtual std::optional<QString> runOpenDialog(const QString &filter,
                                                 const QString &initialName) = 0;
    virtual std::optional<QColor> runColorDialog(QColor initial) = 0;

private:
    // Shows the messages held while a dialog was open, as one.
    void showHeld();

    bool m_showing = false;
    QStringList m_held;
    QString m_heldTitle;
    int m_heldMore = 0;
    bool m_cancelError = false;
    QString m_filter;
    QString m_fileName;
    QColor m_color = QColor(0, 0, 0);
};
