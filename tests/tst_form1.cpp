#include "app/FormDesign.h"
#include "support/FormFixture.h"
#include "support/LabelButtonProbe.h"
#include "widgets/DriveList.h"
#include "widgets/FileListBox.h"
#include "widgets/FolderList.h"
#include "widgets/LabelButton.h"
#include "widgets/PictureButton.h"
#include "widgets/Pictures.h"
#include "widgets/PlayListBox.h"
#include "widgets/Twips.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QtTest>
#include <memory>

namespace {

// The rows of the window's design that are controls on it (not the timers or
// the common dialog).
QList<const ControlDesign *> visualRows()
{
    QList<const ControlDesign *> rows;
    for (const ControlDesign &row : form1Design().controls)
        if (row.isVisual())
            rows << &row;
    return rows;
}

bool isLabel(const ControlDesign &row)
{
    return row.kind == ControlKind::Label;
}

// The class each kind of row is built as; the engine's widget is its own.
QString classOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::FileList:
        return QStringLiteral("FileListBox");
    case ControlKind::FolderList:
        return QStringLiteral("FolderList");
    case ControlKind::DriveList:
        return QStringLiteral("DriveList");
    case ControlKind::ListBox:
        return QStringLiteral("PlayListBox");
    case ControlKind::ComboBox:
        return QStringLiteral("QComboBox");
    case ControlKind::TextBox:
        return QStringLiteral("QLineEdit");
    case ControlKind::PushButton:
        return QStringLiteral("QPushButton");
    case ControlKind::PictureButton:
        return QStringLiteral("PictureButton");
    case ControlKind::Label:
        return QStringLiteral("LabelButton");
    case ControlKind::MediaEngine:
        return QStringLiteral("engine");
    case ControlKind::Timer:
        return QStringLiteral("QTimer");
    case ControlKind::CommonDialog:
        break;
    }
    return {};
}

const char *const fileTypes[] = {
    "*.asx",  "*.m3u",  "*.wpl", "*.wvx", "*.wmx", "*.drv-ms", "*.wtv", "*.mid",  "*.rmi",
    "*.midi", "*.mpeg", "*.mpg", "*.mod", "*.m2v", "*.m1v",    "*.mpa", "*.mpe",  "*.ifo",
    "*.vob",  "*.m4a",  "*.mp4", "*.m4v", "*.3gp", "*.3gpp",   "*.3g2", "*.3gp2", " *.m2ts",
    "*.m2t",  "*.mts",  "*.ts",  "*.tts", "*.mov", "*.wav",    "*.snd", "*.au",   "*.aif",
    "*.aifc", "*.wma",  "*.mp2", "*.mp3", "*.asf", "*.wm",     "*.wma", "*.wmv",  "*.wmd",
    "*.jpg",  "*.jpeg", "*.avi", "*.wmv", "*.*"};

// A palette unlike any real scheme, so that a colour taken from the palette
// cannot be mistaken for a fixed one.
QPalette testPalette()
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Base, QColor(0xF4, 0xF0, 0xE2));
    palette.setColor(QPalette::Shadow, QColor(0x30, 0x18, 0x40));
    palette.setColor(QPalette::Highlight, QColor(0x1A, 0x3C, 0x9E));
    palette.setColor(QPalette::HighlightedText, QColor(0xFE, 0xFB, 0xEE));
    return palette;
}

// A design colour as the tests name it: "sN" for system colour N,
// "#RRGGBB", or "" for none.
QString nameOf(const DesignColour &colour)
{
    switch (colour.source) {
    case DesignColour::Default:
        return {};
    case DesignColour::System:
        return QStringLiteral("s%1").arg(colour.value);
    case DesignColour::Rgb:
        return QColor::fromRgb(QRgb(colour.value)).name();
    }
    return {};
}

QColor colour(const QString &s)
{
    const QPalette palette = testPalette();
    if (s == QLatin1String("s5"))
        return palette.color(QPalette::Base);
    if (s == QLatin1String("s6"))
        return palette.color(QPalette::Shadow);
    if (s == QLatin1String("s13"))
        return palette.color(QPalette::Highlight);
    if (s == QLatin1String("s14"))
        return palette.color(QPalette::HighlightedText);
    return QColor(s);
}

QString faceOf(const QFont &font)
{
    const QFontInfo info(font);
    if (info.fixedPitch())
        return QStringLiteral("mono");
    if (info.family().contains(QLatin1String("Sans")))
        return QStringLiteral("sans");
    if (info.family().contains(QLatin1String("Serif")) ||
        info.family().contains(QLatin1String("Times")))
        return QStringLiteral("serif");
    return info.family();
}

// The face a design font family is drawn in here.
QString faceOf(const char *family)
{
    const QString name = QLatin1String(family ? family : "MS Sans Serif");
    if (name == QLatin1String("Lucida Console"))
        return QStringLiteral("mono");
    if (name == QLatin1String("MS Sans Serif"))
        return QStringLiteral("sans");
    return QStringLiteral("serif");
}

// Everything on the window a handler could change, as text, to compare before
// and after something that must change nothing.
QString snapshot(FormFixture &f, const QString &except)
{
    QStringList state;
    for (const ControlDesign *row : visualRows()) {
        const QString name = QLatin1String(row->name);
        if (name == except)
            continue;
        QWidget *w = f.get(row->name);
        QString text;
        if (auto *edit = qobject_cast<QLineEdit *>(w))
            text = edit->text();
        else if (auto *label = qobject_cast<QLabel *>(w))
            text = label->text();
        else if (auto *button = qobject_cast<QPushButton *>(w))
            text = button->text();
        else if (auto *files = qobject_cast<FileListBox *>(w))
            text = files->path() + files->fileNames().join(QLatin1Char('|')) +
                   QString::number(files->listIndex());
        else if (auto *folders = qobject_cast<FolderList *>(w))
            text = folders->path() + QString::number(folders->count());
        else if (auto *drives = qobject_cast<DriveList *>(w))
            text = drives->drive();
        else if (auto *list = qobject_cast<PlayListBox *>(w))
            text = QString::number(list->listCount()) + QString::number(list->listIndex());
        state << QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(name, text)
                     .arg(w->isVisible())
                     .arg(w->isEnabled())
                     .arg(QStringLiteral("%1,%2 %3x%4")
                              .arg(w->x())
                              .arg(w->y())
                              .arg(w->width())
                              .arg(w->height()));
    }
    state << f.engine.calls << QString::number(f.timer1()->isActive());
    return state.join(QLatin1Char('\n'));
}

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void designIsConsistent();
    void windowIsBuiltFromTheDesign();
    void everyHandlerHasItsControl();
    void startState();
    void stackingAndTabOrder();
    void fontsAndColours();
    void labelsShowTheirCaptions();
    void pictures();
    void timers();
    void resizingMovesNothing();
    void choosingAFileTypeChangesNothing();
    void grabWindow();

private:
    QPalette m_usersPalette;
};

void TestForm1::initTestCase()
{
    m_usersPalette = QApplication::palette();
    QApplication::setPalette(testPalette());
}

void TestForm1::designIsConsistent()
{
    // The table itself: 51 controls, each name once, each tab index once, and
    // every visual control inside the window's client area.
    const FormDesign &design = form1Design();
    QCOMPARE(int(design.controls.size()), 51);
    QSet<QString> names;
    QSet<int> tabs;
    for (const ControlDesign &row : design.controls) {
        QVERIFY2(!names.contains(QLatin1String(row.name)), row.name);
        names << QLatin1String(row.name);
        if (row.tabIndex >= 0) {
            QVERIFY2(!tabs.contains(row.tabIndex), row.name);
            tabs << row.tabIndex;
        }
        if (row.isVisual()) {
            QVERIFY2(row.left >= 0 && row.top >= 0 && row.width > 0 && row.height > 0, row.name);
            QVERIFY2(row.left + row.width <= design.clientWidth &&
                         row.top + row.height <= design.clientHeight,
                     row.name);
        }
    }
    // The texts whose odd spellings and blanks are the window's own.
    const QHash<QString, QPair<QString, QString>> texts = {
        {QStringLiteral("cmdSmallScreen"),
         {QStringLiteral("Small "), QStringLiteral("Small Screen")}},
        {QStringLiteral("cmdMedium"), {QStringLiteral("Medium"), QStringLiteral("Midium Screen")}},
        {QStringLiteral("cmdAdd"), {QStringLiteral("    Add"), QStringLiteral("Add Play Item")}},
        {QStringLiteral("cmdChangeBackground"),
         {QStringLiteral("Back Coluor Change"), QStringLiteral("Change Background Colour")}},
        {QStringLiteral("cmdPlsi"), {QStringLiteral("Play Simultenously"), QString()}},
        {QStringLiteral("cmdPLLoad"),
         {QStringLiteral("Click To Load Play List File Name (*.wpl)=  "), QString()}},
        {QStringLiteral("lblPlayList"), {QStringLiteral("==== P L A Y    L I S T===="), QString()}},
    };
    for (const ControlDesign &row : design.controls) {
        const auto text = texts.find(QLatin1String(row.name));
        if (text == texts.end())
            continue;
        QCOMPARE(QLatin1String(row.caption), text->first);
        if (!text->second.isEmpty())
            QCOMPARE(QLatin1String(row.toolTip), text->second);
    }
}

void TestForm1::windowIsBuiltFromTheDesign()
{
    FormFixture f;
    QCOMPARE(f.form.objectName(), QStringLiteral("Form1"));
    QCOMPARE(f.form.windowTitle(), QStringLiteral("Corvel Media Player 2.6"));
    QCOMPARE(f.form.size(), QSize(989, 749));

    for (const ControlDesign &row : form1Design().controls) {
        if (row.kind == ControlKind::CommonDialog)
            continue;
        QObject *made = f.form.findChild<QObject *>(QLatin1String(row.name));
        QVERIFY2(made, row.name);
        QCOMPARE(made->parent(), &f.form);
        if (row.kind == ControlKind::MediaEngine)
            QCOMPARE(made, f.engine.widget());
        else
            QCOMPARE(QLatin1String(made->metaObject()->className()), classOf(row.kind));
        if (!row.isVisual())
            continue;
        auto *w = static_cast<QWidget *>(made);
        QString caption;
        if (auto *button = qobject_cast<QPushButton *>(w))
            caption = button->text();
        else if (auto *label = qobject_cast<QLabel *>(w))
            caption = label->text();
        else if (auto *combo = qobject_cast<QComboBox *>(w); combo && combo->isEditable())
            caption = combo->currentText();
        else if (auto *edit = qobject_cast<QLineEdit *>(w))
            caption = edit->text();
        QCOMPARE(caption, QLatin1String(row.caption));
        QCOMPARE(w->toolTip(), QLatin1String(row.toolTip));
        QCOMPARE(Twips::left(w), float(row.left));
        QCOMPARE(Twips::top(w), float(row.top));
        QCOMPARE(Twips::width(w), float(row.width));
        QCOMPARE(Twips::height(w), float(row.height));
        QCOMPARE(w->geometry(),
                 QRect(row.left / 15, row.top / 15, row.width / 15, row.height / 15));
    }
    QVERIFY2(!f.get("cmdPlsi")->toolTip().isEmpty(), "cmdPlsi has a tip of its own");
}

void TestForm1::everyHandlerHasItsControl()
{
    // Each handler's action is named after its control and event, and that
    // control is on the window (the engine's end of stream comes from
    // MPlayer1). Commands that only keys or the desktop start have no
    // control, and no "_".
    FormFixture f;
    QList<QAction *> actions = f.form.findChildren<QAction *>();
    actions.removeIf([](const QAction *a) { return !a->objectName().contains(u'_'); });
    QCOMPARE(actions.size(), 35);
    QSet<QString> handlers;
    for (QAction *action : actions) {
        const QString name = action->objectName();
        QVERIFY2(!handlers.contains(name), qPrintable(name));
        handlers << name;
        const QString control = name.section(u'_', 0, 0);
        QVERIFY2(f.form.findChild<QObject *>(control), qPrintable(name));
        QCOMPARE(f.form.commands().action(name), action);
    }
    for (const char *handler :
         {"Timer1_Timer", "MPlayer1_EndOfStream", "PlayList1_Click", "Folders_Change",
          "Drives_Change", "FileList_Click", "cmdOpen_Click", "cmdResize_Click",
          "MPlayer1_ToggleFullScreen", "MPlayer1_LeaveFullScreen"})
        QVERIFY2(handlers.contains(QLatin1String(handler)), handler);
    QVERIFY(!f.form.commands().trigger(QStringLiteral("cmdNoSuch_Click")));
}

void TestForm1::startState()
{
    FormFixture f;
    f.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
    QVERIFY(!f.form.isMinimized() && !f.form.isMaximized());
    for (const ControlDesign *row : visualRows()) {
        QWidget *w = f.get(row->name);
        QVERIFY2(w->isVisible(), row->name);
        QVERIFY2(w->isEnabled(), row->name);
        if (auto *edit = qobject_cast<QLineEdit *>(w))
            QVERIFY2(edit->text().isEmpty(), row->name);
    }
    QCOMPARE(f.get<PlayListBox>("PlayList1")->listCount(), 0);
    QVERIFY(f.engine.url().isEmpty());
    QVERIFY(f.engine.commands().isEmpty());

    auto *types = f.get<QComboBox>("cmbFileType");
    QCOMPARE(types->currentText(), QStringLiteral("Type Of Media Files"));
    QCOMPARE(types->count(), 50);
    for (int i = 0; i < 50; ++i)
        QCOMPARE(types->itemText(i), QLatin1String(fileTypes[i]));
    QVERIFY(!types->view()->isVisible());

    // The browser opens on the program's current folder and its drive.
    const QString here = QDir::cleanPath(QDir::currentPath());
    QCOMPARE(f.get<FolderList>("Folders")->path(), here);
    QCOMPARE(f.get<FileListBox>("FileList")->path(), here);
    QCOMPARE(f.get<FileListBox>("FileList")->pattern(), FileListBox::designPattern);
    QCOMPARE(f.get<FileListBox>("FileList")->listIndex(), -1);
    const QString root = f.get<DriveList>("Drives")->rootPath();
    QVERIFY2(here == root || root == QLatin1String("/") || here.startsWith(root + QLatin1Char('/')),
             qPrintable(root));
    QVERIFY(f.get<DriveList>("Drives")->drive().startsWith(root));
}

void TestForm1::stackingAndTabOrder()
{
    FormFixture f;
    // Qt keeps children back to front: labels at the back, then the windowed
    // controls from the engine's area (lowest) to FileList (front).
    QStringList labels, windowed;
    for (const ControlDesign *row : visualRows())
        (isLabel(*row) ? labels : windowed).prepend(QLatin1String(row->name));
    QStringList backToFront;
    for (QObject *child : f.form.children())
        if (child->isWidgetType() && (labels + windowed).contains(child->objectName()))
            backToFront << child->objectName();
    QCOMPARE(backToFront, labels + windowed);
    QCOMPARE(windowed.first(), QStringLiteral("MPlayer1"));

    // The transport buttons are drawn, and clicked, over the engine's area.
    for (const char *name : {"cmdPlay", "cmdStop", "cmdPause", "cmdMute", "cmdNext"}) {
        QWidget *button = f.get(name);
        const QPoint centre = button->geometry().center();
        QVERIFY(f.get("MPlayer1")->geometry().contains(centre));
        QWidget *hit = f.form.childAt(centre);
        QVERIFY2(hit == button || button->isAncestorOf(hit), name);
    }

    // Focus walks the windowed controls in the design's tab order (the engine's
    // widget only if it takes focus); labels take none.
    std::vector<const ControlDesign *> focusable;
    for (const ControlDesign *row : visualRows()) {
        if (isLabel(*row))
            QCOMPARE(f.get(row->name)->focusPolicy(), Qt::NoFocus);
        else if (f.get(row->name)->focusPolicy() != Qt::NoFocus)
            focusable.push_back(row);
    }
    std::sort(
        focusable.begin(), focusable.end(),
        [](const ControlDesign *a, const ControlDesign *b) { return a->tabIndex < b->tabIndex; });
    QStringList wanted, chain;
    for (const ControlDesign *row : focusable)
        wanted << QLatin1String(row->name);
    QWidget *w = f.get(focusable.front()->name);
    for (int steps = 0; steps < 1000 && chain.size() < wanted.size(); ++steps) {
        if (wanted.contains(w->objectName()) && !chain.contains(w->objectName()))
            chain << w->objectName();
        w = w->nextInFocusChain();
    }
    QCOMPARE(chain, wanted);
}

void TestForm1::fontsAndColours()
{
    FormFixture f;
    QCOMPARE(f.form.palette().color(QPalette::Window), colour("s14"));
    QCOMPARE(f.form.palette().color(QPalette::WindowText), colour("s13"));
    QCOMPARE(faceOf(f.form.font()), QStringLiteral("sans"));
    QCOMPARE(f.form.font().pointSizeF(), 8.25);

    for (const ControlDesign *row : visualRows()) {
        QWidget *w = f.get(row->name);
        const DesignFont &font = row->look.font;
        if (!font.symbol) {
            QCOMPARE(faceOf(w->font()), faceOf(font.family));
            QCOMPARE(w->font().pointSizeF(), font.family ? font.pointSize : 8.25);
            QCOMPARE(w->font().bold(), font.bold);
        }
        const bool label = isLabel(*row);
        if (row->look.text.isSet()) {
            const QColor text = colour(nameOf(row->look.text));
            QCOMPARE(w->palette().color(label ? QPalette::WindowText : QPalette::Text), text);
        }
        if (row->look.background.isSet()) {
            const QColor background = colour(nameOf(row->look.background));
            QCOMPARE(w->palette().color(label ? QPalette::Window : QPalette::Base), background);
            if (label)
                QVERIFY2(w->autoFillBackground(), row->name);
        }
        if (auto *l = qobject_cast<LabelButton *>(w)) {
            const LabelButtonProbe probe(*l);
            QCOMPARE(probe.hasBorder(), row->look.border);
            QCOMPARE(probe.isCentred(), row->look.centred);
            QCOMPARE(probe.isSymbol(), font.symbol);
        }
    }
    // A few looks spelt out, so that a slip in the table shows too.
    QCOMPARE(f.get("Text1")->palette().color(QPalette::Base), colour(QStringLiteral("s14")));
    QCOMPARE(f.get("cmdLoadList")->palette().color(QPalette::WindowText), QColor(0xFF00FF));
    QCOMPARE(faceOf(f.get("Folders")->font()), QStringLiteral("mono"));
    QCOMPARE(f.get("cmdBack")->font().pointSizeF(), 12.0);
}

void TestForm1::labelsShowTheirCaptions()
{
    FormFixture f;
    for (const ControlDesign *row : visualRows()) {
        auto *label = qobject_cast<LabelButton *>(f.get(row->name));
        if (!label || row->look.font.symbol)
            continue;
        const LabelButtonProbe probe(*label);
        const QRect area = label->contentsRect();
        const QFontMetrics metrics(label->font());
        QString shown = label->text();
        while (shown.endsWith(QLatin1Char(' ')))
            shown.chop(1);
        if (probe.captionWraps()) {
            const QRect lines = metrics.boundingRect(area, Qt::TextWordWrap, label->text());
            QVERIFY2(lines.height() <= area.height() && lines.width() <= area.width(), row->name);
        } else {
            QVERIFY2(metrics.horizontalAdvance(shown) * probe.captionScale() <= area.width() + 0.5,
                     row->name);
            QVERIFY2(metrics.height() <= area.height() + 1, row->name);
        }
        QVERIFY2(probe.captionScale() >= 0.8, row->name);
    }
    // The long play-list label is the one that needs narrowing, and a little only.
    const LabelButtonProbe plLoad(*f.get<LabelButton>("cmdPLLoad"));
    QVERIFY(!plLoad.captionWraps());
    QVERIFY(plLoad.captionScale() > 0.85);
}

void TestForm1::pictures()
{
    FormFixture f;
    const struct
    {
        const char *name;
        Picture picture;
        QSize size;
    } buttons[] = {{"cmdPlay", Picture::Play, {24, 24}},
                   {"cmdPause", Picture::Pause, {25, 26}},
                   {"cmdStop", Picture::Stop, {24, 24}},
                   {"cmdMute", Picture::Mute, {29, 31}},
                   {"cmdUnMute", Picture::UnMute, {23, 24}}};
    for (const auto &b : buttons) {
        QCOMPARE(f.get<PictureButton>(b.name)->picture(), b.picture);
        const QImage image = Pictures::button(b.picture);
        QCOMPARE(image.size(), b.size);
        // Drawn, on a transparent ground that shows the button's white.
        QVERIFY(qAlpha(image.pixel(0, 0)) == 0);
        int ink = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ink += qAlpha(image.pixel(x, y)) > 128;
        QVERIFY2(ink > 40, b.name);
    }
    const QImage play = f.get("cmdPlay")->grab().toImage();
    const QColor middle = play.pixelColor(play.rect().center());
    QVERIFY(middle.green() > 100 && middle.red() < 80 && middle.blue() < 80);
    QCOMPARE(play.pixelColor(4, 4), QColor(Qt::white));

    // The window icon: a yellow sun with a transparent ground, at 16 x 16.
    QVERIFY(f.form.windowIcon().availableSizes().contains(QSize(16, 16)));
    const QImage sun = f.form.windowIcon().pixmap(16, 16).toImage();
    const QColor centre = sun.pixelColor(8, 8);
    QVERIFY(centre.red() > 200 && centre.green() > 150 && centre.blue() < 80);
    QCOMPARE(sun.pixelColor(0, 0).alpha(), 0);

    // cmdResize keeps its caption "1" but shows a small window, which is far
    // wider than the digit would be.
    auto *resize = f.get<LabelButton>("cmdResize");
    QCOMPARE(resize->text(), QStringLiteral("1"));
    const QImage symbol = resize->grab().toImage();
    const QColor ink = colour("#008000");
    int inkColumns = 0;
    for (int x = 2; x < symbol.width() - 2; ++x) {
        bool found = false;
        for (int y = 2; y < symbol.height() - 2 && !found; ++y)
            found = symbol.pixelColor(x, y) == ink;
        inkColumns += found;
    }
    QVERIFY2(inkColumns >= symbol.width() / 2, qPrintable(QString::number(inkColumns)));
}

void TestForm1::timers()
{
    FormFixture f;
    QTimer *timer1 = f.timer1();
    QTimer *timer2 = controlOf<QTimer>(f.form, "Timer2");
    QVERIFY(timer1->isActive());
    QCOMPARE(timer1->interval(), 1000);
    QVERIFY(timer1->remainingTime() > 500); // the first tick is a second away
    QCOMPARE(timer2->interval(), 0);
    QSignalSpy ticks(timer2, &QTimer::timeout);
    QTest::qWait(150);
    QCOMPARE(ticks.count(), 0);
    QVERIFY(!timer2->isActive());
}

void TestForm1::resizingMovesNothing()
{
    FormFixture f;
    f.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
    QHash<QString, QRect> before;
    for (const ControlDesign *row : visualRows())
        before.insert(QLatin1String(row->name), f.get(row->name)->geometry());
    auto unchanged = [&] {
        for (const ControlDesign *row : visualRows())
            if (f.get(row->name)->geometry() != before.value(QLatin1String(row->name)))
                return false;
        return true;
    };
    f.form.resize(1500, 1100);
    QCoreApplication::processEvents();
    QVERIFY(unchanged());
    f.form.resize(400, 300);
    QCoreApplication::processEvents();
    QVERIFY(unchanged());
    f.form.showMaximized();
    QCoreApplication::processEvents();
    QVERIFY(unchanged());
    for (const ControlDesign *row : visualRows())
        QCOMPARE(Twips::left(f.get(row->name)), float(row->left));
}

void TestForm1::choosingAFileTypeChangesNothing()
{
    QTemporaryDir media;
    QVERIFY(media.isValid());
    for (const char *name : {"a.avi", "b.mp3", "c.jpg", "d.wav"}) {
        QFile file(media.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    FormFixture f;
    f.form.show();
    f.get<FolderList>("Folders")->setPath(media.path());
    f.engine.calls.clear();
    const QStringList listed = f.get<FileListBox>("FileList")->fileNames();
    QCOMPARE(listed, QStringList({"b.mp3", "d.wav"}));
    const QString before = snapshot(f, QStringLiteral("cmbFileType"));

    auto *types = f.get<QComboBox>("cmbFileType");
    const int avi = types->findText(QStringLiteral("*.avi"));
    QVERIFY(avi >= 0);
    // As a user picks it: the combo box reports the choice like any other.
    types->setCurrentIndex(avi);
    emit types->activated(avi);
    emit types->textActivated(types->currentText());
    types->setFocus();
    QTest::keyClick(types, Qt::Key_Down);
    QTest::keyClick(types, Qt::Key_Up);
    QCoreApplication::processEvents();
    QCOMPARE(types->currentText(), QStringLiteral("*.avi"));
    QCOMPARE(snapshot(f, QStringLiteral("cmbFileType")), before);
}

void TestForm1::grabWindow()
{
    // The picture shows the window as a user sees it, in the platform's colours.
    QApplication::setPalette(m_usersPalette);
    FormFixture f;
    f.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
    const QPixmap picture = f.form.grab();
    QCOMPARE(picture.size(), QSize(989, 749));
    QVERIFY(picture.save(QStringLiteral("form1.png")));
    // The window's own surface shows its background colour between controls.
    QCOMPARE(picture.toImage().pixelColor(5, 5 + 8055 / 15 + 10),
             m_usersPalette.color(QPalette::HighlightedText));
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
