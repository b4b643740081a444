#pragma once

#include "browse/CommonDialog.h"

class QWidget;

// The common dialogs on Qt: QFileDialog, QColorDialog and QMessageBox.
class QtCommonDialog : public CommonDialog
{
public:
    explicit QtCommonDialog(QWidget *parent = nullptr);
    void setParentWidget(QWidget *parent) { m_parent = parent; }
    void showMessage(const QString &text, const QString &title) override;

protected:
    std::optional<QString> runOpenDialog(const QString &filter, const QString &initialName) override;
    std::optional<QColor> runColorDialog(QColor initial) override;

private:
    QWidget *m_parent;
};
