#pragma once

#include <QColor>
#include <QString>
#include <optional>
#include <stdexcept>

// Thrown by showOpen()/showColor() on a cancel when cancelError() is set.
class DialogCancelled : public std::runtime_error
{
public:
    DialogCancelled() : std::runtime_error("Cancel was selected.") {}
};

// The window's common dialog (CommonDialog1): an Open dialog and a Colour
// dialog with the properties the commands read and write. A cancel leaves
// fileName() and color() as they were. Subclasses supply the two dialogs.
class CommonDialog
{
public:
    virtual ~CommonDialog() = default;

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
    // A modal message box with a single OK button and no icon.
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
