#include "widgets/QtCommonDialog.h"

#include "core/FilterText.h"
#include "widgets/NameOnlyIcons.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

QtCommonDialog::QtCommonDialog(QWidget *parent) : m_parent(parent) {}

namespace {

// A message box grows with its text; beyond this many lines its OK button
// would leave the screen, so the text scrolls instead.
constexpr int longestBoxLines = 24;

// The long text in a scrolling, selectable field, with one OK button, sized
// to the text but never taller than most of the screen.
void showScrolling(const QString &text, const QString &title, QWidget *parent)
{
    QDialog box(parent);
    box.setWindowTitle(title);
    auto *field = new QPlainTextEdit(text, &box);
    field->setObjectName(QStringLiteral("messageText"));
    field->setReadOnly(true);
    field->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    auto *column = new QVBoxLayout(&box);
    column->addWidget(field);
    column->addWidget(buttons);

    const QFontMetrics metrics = field->fontMetrics();
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    int widest = 0;
    for (const QStringView line : QStringView(text).split(u'\n')) {
        widest = std::max(widest, metrics.horizontalAdvance(line.toString()));
        if (widest > room.width())
            break;
    }
    field->setMinimumSize(std::min(widest + 4 * metrics.averageCharWidth(), room.width() * 2 / 3),
                          std::min(metrics.lineSpacing() * longestBoxLines, room.height() / 2));
    box.setMaximumSize(room.size() * 9 / 10);
    box.exec();
}

} // namespace

void QtCommonDialog::runMessage(const QString &text, const QString &title)
{
    if (text.count(u'\n') >= longestBoxLines) {
        showScrolling(text, title, m_parent);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

std::optional<QString> QtCommonDialog::runOpenDialog(const QString &filter,
                                                     const QString &initialName)
{
    // Made first so that it outlives the dialog's look at the folders.
    NameOnlyIcons icons;
    QFileDialog dialog(m_parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setIconProvider(&icons);
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
