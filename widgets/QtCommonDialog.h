#pragma once

#include "widgets/CommonDialog.h"

class QWidget;

// The common dialogs on Qt: QFileDialog, QColorDialog and QMessageBox, always
// Qt's own so that they look and behave the same on every desktop.
class QtCommonDialog : public CommonDialog
{
public:
    // The dialogs are shown modal over parent (none: application modal).
    explicit QtCommonDialog(QWidget *parent = nullptr);

    // Sets the window the dialogs are centred on and modal to.
    void setParentWidget(QWidget *parent) { m_parent = parent; }

protected:
    void runMessage(const QString &text, const QString &title) override;
    std::optional<QString> runOpenDialog(const QString &filter,
                                         const QString &initialName) override;
    std::optional<QColor> runColorDialog(QColor initial) override;

private:
    QWidget *m_parent;
};
