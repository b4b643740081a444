#include "app/ControlFactory.h"

#include "app/FormDesign.h"
#include "engine/MediaEngine.h"
#include "widgets/AccessibleButton.h"
#include "widgets/DriveList.h"
#include "widgets/FileListBox.h"
#include "widgets/FolderList.h"
#include "widgets/LabelButton.h"
#include "widgets/PictureButton.h"
#include "widgets/Pictures.h"
#include "widgets/PlayListBox.h"
#include "widgets/Twips.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <algorithm>

namespace {

// The combo box's list of media types: shown only, read by nothing.
const char *const fileTypes[] = {
    "*.asx",  "*.m3u",  "*.wpl", "*.wvx", "*.wmx", "*.drv-ms", "*.wtv", "*.mid",  "*.rmi",
    "*.midi", "*.mpeg", "*.mpg", "*.mod", "*.m2v", "*.m1v",    "*.mpa", "*.mpe",  "*.ifo",
    "*.vob",  "*.m4a",  "*.mp4", "*.m4v", "*.3gp", "*.3gpp",   "*.3g2", "*.3gp2", " *.m2ts",
    "*.m2t",  "*.mts",  "*.ts",  "*.tts", "*.mov", "*.wav",    "*.snd", "*.au",   "*.aif",
    "*.aifc", "*.wma",  "*.mp2", "*.mp3", "*.asf", "*.wm",     "*.wma", "*.wmv",  "*.wmd",
    "*.jpg",  "*.jpeg", "*.avi", "*.wmv", "*.*"};

// Controls that a screen reader names after the label beside them, or by a
// name of their own where no label says what they are.
struct SpokenName
{
    const char *control;
    const char *label;
    const char *name;
};
const SpokenName spokenNames[] = {
    {"Text1", "Label1", nullptr},
    {"Text2", "Label2", nullptr},
    {"Text3", "Label3", nullptr},
    {"Text4", "lblStatus", nullptr},
    {"FileList", "Label4", nullptr},
    {"Folders", "Label5", nullptr},
    {"Drives", "Label6", nullptr},
    {"cmbFileType", "Label7", nullptr},
    {"PlayList1", "lblPlayList", nullptr},
    {"pfname", nullptr, "Current Medium"},
    {"PLName", "cmdPLLoad", "Play List File Name"},
    // Its caption is the symbol font's picture of a small window.
    {"cmdResize", nullptr, "Compact View"},
};

bool hasLetter(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}

bool canOpen(const QString &folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

// The program's current folder, or the nearest folder above it that can be
// read: the browser must open somewhere even if the current one is gone.
QString startFolder()
{
    QString folder = QDir::currentPath();
    while (!folder.isEmpty() && !canOpen(folder)) {
        const QString up = QFileInfo(folder).path();
        if (up == folder)
            break;
        folder = up;
    }
    return canOpen(folder) ? folder : QDir::rootPath();
}

} // namespace

ControlFactory::ControlFactory(QWidget &window, MediaEngine &engine)
    : m_window(window), m_engine(engine)
{
}

void ControlFactory::installFontSubstitutes()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("MS Serif"), {QStringLiteral("Liberation Serif"),
                                                            QStringLiteral("DejaVu Serif")});
    QFont::insertSubstitutions(
        QStringLiteral("Times New Roman"),
        {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
    QFont::insertSubstitutions(
        QStringLiteral("Lucida Console"),
        {QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono")});
}

QFont ControlFactory::font(const DesignFont &design, const QFont &fallback)
{
    if (!design.family || design.symbol)
        return fallback;
    QFont f(QString::fromLatin1(design.family));
    f.setPointSizeF(design.pointSize);
    f.setBold(design.bold);
    if (QLatin1String(design.family) == QLatin1String("Lucida Console"))
        f.setStyleHint(QFont::Monospace);
    else if (QLatin1String(design.family) != QLatin1String("MS Sans Serif"))
        f.setStyleHint(QFont::Serif);
    return f;
}

void ControlFactory::styleWindow(const FormDesign &design)
{
    installFontSubstitutes();
    m_window.setObjectName(QStringLiteral("Form1"));
    m_window.setWindowTitle(QString::fromLatin1(design.caption));
    m_window.setWindowIcon(Pictures::windowIcon());
    m_window.setFont(font(design.defaultFont, m_window.font()));
    QPalette palette = m_window.palette();
    palette.setColor(QPalette::Window, design.background.resolve(palette));
    palette.setColor(QPalette::WindowText, design.text.resolve(palette));
    m_window.setPalette(palette);
    m_window.setAutoFillBackground(true);
    m_window.resize(Twips::toPixels(float(design.clientWidth)),
                    Twips::toPixels(float(design.clientHeight)));
}

Form1Controls ControlFactory::build(const FormDesign &design)
{
    styleWindow(design);
    // Before any control exists: with a screen reader already running, Qt
    // makes and keeps each control's interface as soon as it is created.
    AccessibleButton::install();
    Form1Controls controls;
    // Created back to front, so each control is stacked over the ones before.
    for (auto row = design.controls.rbegin(); row != design.controls.rend(); ++row) {
        QObject *made = create(*row);
        // A row whose kind and member disagree is a fault of the table itself.
        if (made && !row->slot.put(controls, made))
            qFatal("The design row %s makes a control its member cannot hold", row->name);
    }
    setTabOrder(design, controls);
    nameForScreenReaders(design, controls);
    return controls;
}

QString ControlFactory::spokenHeading(const QString &caption)
{
    static const QRegularExpression rules(QStringLiteral("^[<=>]{2,}|[<=>]{2,}$"));
    static const QRegularExpression gaps(QStringLiteral("\\s{2,}"));
    static const QRegularExpression spacedOut(QStringLiteral("^\\w( \\w)+$"));
    QStringList words = QString(caption).remove(rules).trimmed().split(gaps);
    for (QString &word : words)
        if (spacedOut.match(word).hasMatch())
            word.remove(QLatin1Char(' '));
    return words.join(QLatin1Char(' '));
}

void ControlFactory::nameForScreenReaders(const FormDesign &design, const Form1Controls &controls)
{
    const auto named = [&](const char *name) -> QWidget * {
        for (const ControlDesign &row : design.controls)
            if (QLatin1String(row.name) == QLatin1String(name))
                return qobject_cast<QWidget *>(row.slot.get(controls));
        return nullptr;
    };
    for (const ControlDesign &row : design.controls) {
        auto *label = qobject_cast<LabelButton *>(row.slot.get(controls));
        // Labels named cmd... are the window's label-buttons.
        if (label && QLatin1String(row.name).startsWith(QLatin1String("cmd")))
            label->setActsAsButton(true);
        // "<", ">>" and the like mean nothing read aloud; their tips do.
        auto *button = qobject_cast<QPushButton *>(row.slot.get(controls));
        if (button && !hasLetter(button->text()))
            button->setAccessibleName(button->toolTip());
        else if (button && button->text() != button->text().trimmed())
            button->setAccessibleName(button->text().trimmed());
    }
    for (const SpokenName &spoken : spokenNames) {
        QWidget *control = named(spoken.control);
        auto *label = qobject_cast<LabelButton *>(spoken.label ? named(spoken.label) : nullptr);
        if (!control)
            continue;
        if (label)
            label->setBuddy(control);
        if (spoken.name)
            control->setAccessibleName(QLatin1String(spoken.name));
        else if (label)
            control->setAccessibleName(spokenHeading(label->text()));
    }
}

QObject *ControlFactory::create(const ControlDesign &design)
{
    if (design.kind == ControlKind::CommonDialog)
        return nullptr; // the dialog is a service handed to the window
    if (design.kind == ControlKind::Timer) {
        auto *timer = new QTimer(&m_window);
        timer->setObjectName(QLatin1String(design.name));
        timer->setInterval(design.look.timerInterval);
        // An interval of 0 never fires, however the timer is enabled.
        if (design.look.timerEnabled && design.look.timerInterval > 0)
            timer->start();
        return timer;
    }
    QWidget *control = createWidget(design);
    control->setObjectName(QLatin1String(design.name));
    if (*design.toolTip)
        control->setToolTip(QString::fromLatin1(design.toolTip));
    Twips::place(control, float(design.left), float(design.top), float(design.width),
                 float(design.height));
    applyLook(control, design);
    control->show();
    return control;
}

QWidget *ControlFactory::createWidget(const ControlDesign &d)
{
    const QString caption = QString::fromLatin1(d.caption);
    switch (d.kind) {
    case ControlKind::FileList: {
        auto *list = new FileListBox(&m_window);
        list->setPath(startFolder());
        return list;
    }
    case ControlKind::FolderList: {
        auto *folders = new FolderList(&m_window);
        folders->setPath(startFolder());
        return folders;
    }
    case ControlKind::DriveList:
        return new DriveList(&m_window);
    case ControlKind::ListBox:
        return new PlayListBox(&m_window);
    case ControlKind::ComboBox: {
        auto *combo = new QComboBox(&m_window);
        combo->setEditable(true);
        for (const char *type : fileTypes)
            combo->addItem(QString::fromLatin1(type));
        combo->setCurrentIndex(-1);
        combo->setEditText(caption);
        return combo;
    }
    case ControlKind::TextBox: {
        auto *edit = new QLineEdit(caption, &m_window);
        return edit;
    }
    case ControlKind::PushButton:
        return new QPushButton(caption, &m_window);
    case ControlKind::PictureButton:
        return new PictureButton(d.look.picture, &m_window);
    case ControlKind::Label: {
        auto *label = new LabelButton(caption, &m_window);
        label->setSymbol(d.look.font.symbol);
        return label;
    }
    case ControlKind::MediaEngine: {
        QWidget *player = m_engine.widget();
        player->setParent(&m_window);
        return player;
    }
    case ControlKind::Timer:
    case ControlKind::CommonDialog:
        break;
    }
    return nullptr;
}

void ControlFactory::applyLook(QWidget *control, const ControlDesign &design)
{
    const DesignLook &look = design.look;
    control->setFont(font(look.font, m_window.font()));
    QPalette palette = control->palette();
    const bool isLabel = design.kind == ControlKind::Label;
    const bool isButton = design.kind == ControlKind::PushButton;
    if (look.text.isSet()) {
        const QColor text = look.text.resolve(palette);
        palette.setColor(isLabel ? QPalette::WindowText : QPalette::Text, text);
        palette.setColor(QPalette::ButtonText, text);
        palette.setColor(QPalette::WindowText, text);
    }
    if (look.background.isSet()) {
        const QColor background = look.background.resolve(palette);
        palette.setColor(isLabel ? QPalette::Window : QPalette::Base, background);
        // Push buttons and the drop-down lists paint their face in Button.
        if (isButton || design.kind == ControlKind::DriveList)
            palette.setColor(QPalette::Button, background);
        if (isLabel)
            control->setAutoFillBackground(true);
    }
    control->setPalette(palette);
    if (auto *label = qobject_cast<LabelButton *>(control)) {
        label->setBorder(look.border);
        label->setCentred(look.centred);
    }
}

void ControlFactory::setTabOrder(const FormDesign &design, const Form1Controls &controls)
{
    std::vector<const ControlDesign *> inOrder;
    for (const ControlDesign &c : design.controls)
        if (c.isWindowed() && c.tabIndex >= 0)
            inOrder.push_back(&c);
    std::sort(inOrder.begin(), inOrder.end(), [](const ControlDesign *a, const ControlDesign *b) {
        return a->tabIndex < b->tabIndex;
    });
    // Qt leaves the chain as it is when either side takes no focus (an engine
    // widget may not), so such controls are left out of the links.
    QWidget *previous = nullptr;
    for (const ControlDesign *c : inOrder) {
        auto *control = qobject_cast<QWidget *>(c->slot.get(controls));
        if (!control || control->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}
