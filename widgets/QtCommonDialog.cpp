#include "widgets/QtCommonDialog.h"

#include "core/FilterText.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

QtCommonDialog::QtCommonDialog(QWidget *parent) : m_parent(parent) {}

void QtCommonDialog::showMessage(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

std::optional<QString> QtCommonDialog::runOpenDialog(const QString &filter,
                                                     const QString &initialName)
{
    QFileDialog dialog(m_parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // The combo box then shows each description alone, without the pattern
    // list that FilterText appends for Qt's sake.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    // Saving a play list goes through this dialog too, so a name that does
    // not exist yet is a valid answer.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Media names come in any letter case ("CLIP.MP4"); the model only
    // compares case-sensitively when asked to.
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);

    const QStringList nameFilters = FilterText(filter).nameFilters();
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
        dialog.selectNameFilter(nameFilters.first());
    }
    if (!initialName.isEmpty())
        dialog.selectFile(initialName);

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(chosen.first());
}

std::optional<QColor> QtCommonDialog::runColorDialog(QColor initial)
{
    QColorDialog dialog(initial, m_parent);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QColor chosen = dialog.selectedColor();
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}
