#include "browse/QtCommonDialog.h"

QtCommonDialog::QtCommonDialog(QWidget *parent) : m_parent(parent) {}
void QtCommonDialog::showMessage(const QString &, const QString &) {}
std::optional<QString> QtCommonDialog::runOpenDialog(const QString &, const QString &)
{
    return std::nullopt;
}
std::optional<QColor> QtCommonDialog::runColorDialog(QColor) { return std::nullopt; }
