#include "app/FormDesign.h"
#include "widgets/LabelButton.h"
#include "widgets/PictureButton.h"
#include "widgets/Pictures.h"
#include "widgets/Twips.h"
#include "widgets/DriveList.h"
#include "widgets/FileListBox.h"
#include "widgets/FolderList.h"
#include "widgets/PlayListBox.h"
#include "support/FormFixture.h"

#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QtTest>
#include <memory>
#include <stdexcept>

namespace {

// The window's controls as the player's design gives them, written out again
// here so that a slip in the design table shows up as a failure.
struct Expected
{
    const char *name;
    const char *kind; // class name; "engine" for the engine's widget
    const char *caption;
    const char *toolTip; // "*": any non-empty tip
    int left, top, width, height, tab;
    const char *font;              // "": the window's font; "symbol": drawn as a picture
    const char *background, *text; // "": default; "sN": system colour N; "#RRGGBB"
    const char *flags;             // B border, C centred, or the picture's name
};

// clang-format off
const Expected expected[] = {
    {"FileList", "FileListBox", "", "", 11760, 1080, 2655, 1650, 45, "", "", "s13", ""},
    {"cmdPlsi", "QPushButton", "Play Simultenously", "*", 1680, 9600, 1695, 375, 43, "", "", "", ""},
    {"cmdPause", "PictureButton", "", "Pause", 480, 7680, 495, 495, 42, "", "", "", "Pause"},
    {"cmdOriginal", "QPushButton", "Original", "Original Screen", 2520, 10200, 855, 375, 41, "", "", "", ""},
    {"cmdUnMute", "PictureButton", "", "Un Mute", 3840, 7680, 495, 495, 40, "", "", "", "UnMute"},
    {"pfname", "QLineEdit", "", "", 3720, 9600, 4095, 375, 39, "sans 8.25 b", "", "s6", ""},
    {"cmbFileType", "QComboBox", "Type Of Media Files", "", 12240, 6600, 2295, 315, 38, "", "", "s13", ""},
    {"Text4", "QLineEdit", "", "", 960, 9000, 1935, 375, 37, "", "", "s13", ""},
    {"cmdRev", "QPushButton", "<<", "Fast Reverse", 5160, 7680, 495, 495, 35, "serif 9.75 b", "", "", ""},
    {"cmdFast", "QPushButton", ">>", "Fast Forward", 4680, 7680, 495, 495, 34, "serif 9.75 b", "", "", ""},
    {"cmdBack", "QPushButton", "<", "Previous", 1440, 7680, 375, 450, 33, "sans 12 b", "", "", ""},
    {"cmdNext", "QPushButton", ">", "Next", 4320, 7680, 375, 450, 32, "sans 12 b", "", "", ""},
    {"cmdRepeat", "QPushButton", "Repeat", "Repeat", 3480, 10200, 855, 375, 31, "", "", "", ""},
    {"cmdSmallScreen", "QPushButton", "Small ", "Small Screen", 1680, 10200, 855, 375, 30, "", "", "", ""},
    {"cmdMedium", "QPushButton", "Medium", "Midium Screen", 840, 10200, 855, 375, 29, "", "", "", ""},
    {"cmdFullScreen", "QPushButton", "Full", "Full Screen", 120, 10200, 735, 375, 28, "", "", "", ""},
    {"cmdGenerate", "QPushButton", "Generate", "", 8640, 9960, 1095, 375, 24, "", "", "", ""},
    {"PLName", "QLineEdit", "", "", 6120, 9000, 3495, 375, 23, "sans 8.25 b", "", "s6", ""},
    {"cmdOpen", "QPushButton", "Open", "", 8640, 9480, 1095, 375, 21, "", "", "", ""},
    {"PlayList1", "PlayListBox", "", "", 11040, 8160, 3375, 2790, 14, "", "", "s13", ""},
    {"cmdMute", "PictureButton", "", "Mute", 3360, 7680, 495, 495, 13, "", "", "", "Mute"},
    {"Text3", "QLineEdit", "", "", 6240, 10800, 1575, 285, 6, "", "", "#008000", ""},
    {"Text2", "QLineEdit", "", "", 6240, 10440, 1575, 285, 5, "serif 9.75 b", "", "#008000", ""},
    {"Text1", "QLineEdit", "", "", 6240, 10080, 1575, 285, 4, "serif 9.75 b", "s14", "#008000", ""},
    {"Drives", "DriveList", "", "", 12240, 5640, 2295, 315, 3, "", "s14", "#008000", ""},
    {"Folders", "FolderList", "", "", 12240, 3720, 2295, 1560, 2, "mono 9", "s14", "#008000", ""},
    {"cmdPlay", "PictureButton", "", "Play", 120, 7680, 495, 495, 1, "", "", "", "Play"},
    {"cmdStop", "PictureButton", "", "Stop", 960, 7680, 495, 495, 0, "", "", "", "Stop"},
    {"MPlayer1", "engine", "", "", 120, 120, 10815, 8055, 12, "", "", "", ""},
    {"cmdResize", "LabelButton", "1", "", 1080, 9720, 375, 375, 47, "symbol", "s14", "#008000", "BC"},
    {"cmdMinimize", "LabelButton", "_", "Minimize", 600, 9720, 375, 375, 46, "sans 8.25 b", "s5", "#008000", "BC"},
    {"Label7", "LabelButton", "File Types", "", 12240, 6120, 2295, 255, 44, "sans 8.25 b", "s5", "s13", "BC"},
    {"lblStatus", "LabelButton", "Status=", "", 240, 9000, 615, 375, 36, "sans 8.25 b", "s5", "s13", "B"},
    {"Label6", "LabelButton", "Drive", "", 12240, 5280, 2295, 255, 27, "sans 8.25 b", "s5", "s13", "BC"},
    {"Label5", "LabelButton", "Folder", "", 12360, 3360, 1935, 255, 26, "sans 8.25 b", "s5", "s13", "BC"},
    {"Label4", "LabelButton", "<<==File List==>>", "", 12360, 360, 1935, 255, 25, "sans 8.25 b", "s5", "s13", "BC"},
    {"cmdPLLoad", "LabelButton", "Click To Load Play List File Name (*.wpl)=  ", "", 3120, 9000, 2895, 315, 22, "serif 8.25", "#FFFFFF", "#0000C0", "B"},
    {"cmdSaveList", "LabelButton", "Save List", "Save Play List", 9960, 10440, 975, 375, 20, "sans 8.25 b", "s14", "#008000", "B"},
    {"cmdLoadList", "LabelButton", "Load List", "Load Play List", 9960, 9960, 975, 375, 19, "sans 8.25 b", "s14", "#FF00FF", "B"},
    {"cmdNewList", "LabelButton", "New List", "Make New List", 9960, 9480, 975, 375, 18, "sans 8.25 b", "s14", "#008000", "B"},
    {"cmdRemove", "LabelButton", "Remove", "Remove Play Item", 9960, 9000, 975, 375, 17, "sans 8.25 b", "s14", "#008000", "B"},
    {"cmdAdd", "LabelButton", "    Add", "Add Play Item", 9960, 8520, 975, 375, 16, "sans 8.25 b", "s14", "#0000C0", "B"},
    {"lblPlayList", "LabelButton", "==== P L A Y    L I S T====", "", 11280, 7440, 2895, 375, 15, "sans 9.75 b", "s14", "s13", "B"},
    {"Label3", "LabelButton", "Current Position :", "", 4560, 10800, 1575, 255, 11, "serif 9.75 b", "s5", "#008000", ""},
    {"Label2", "LabelButton", "Total Time :", "", 4560, 10440, 1095, 255, 10, "serif 9.75 b", "s5", "#008000", ""},
    {"Label1", "LabelButton", "Current Time:", "", 4560, 10080, 1335, 255, 9, "serif 9.75 b", "s5", "#008000", ""},
    {"cmdChangeBackground", "LabelButton", "Back Coluor Change", "Change Background Colour", 1080, 10560, 2295, 375, 8, "sans 8.25 b", "s14", "#00C000", "BC"},
    {"cmdExit", "LabelButton", "Exit", "Exit Media Player", 3480, 10560, 855, 375, 7, "sans 8.25 b", "s14", "#008000", "BC"},
};
// clang-format on

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

QColor colour(const char *text)
{
    const QPalette palette = testPalette();
    const QString s = QLatin1String(text);
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

bool isLabel(const Expected &e)
{
    return QLatin1String(e.kind) == QLatin1String("LabelButton");
}

// Everything on the window a handler could change, as text, to compare before
// and after something that must change nothing.
QString snapshot(FormFixture &f, const QString &except)
{
    QStringList state;
    for (const Expected &e : expected) {
        const QString name = QLatin1String(e.name);
        if (name == except)
            continue;
        QWidget *w = f.form.control(name);
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
    void inventoryMatchesTheDesign();
    void startState();
    void stackingAndTabOrder();
    void fontsAndColours();
    void labelsShowTheirCaptions();
    void pictures();
    void timers();
    void resizingMovesNothing();
    void choosingAFileTypeChangesNothing();
    void errorsInHandlersAreShown();
    void grabWindow();

private:
    QPalette m_usersPalette;
};

void TestForm1::initTestCase()
{
    m_usersPalette = QApplication::palette();
    QApplication::setPalette(testPalette());
}

void TestForm1::inventoryMatchesTheDesign()
{
    FormFixture f;
    QCOMPARE(f.form.objectName(), QStringLiteral("Form1"));
    QCOMPARE(f.form.windowTitle(), QStringLiteral("Corvel Media Player 2.6"));
    QCOMPARE(f.form.size(), QSize(989, 749));
    QCOMPARE(int(form1Design().controls.size()), 51);
    QCOMPARE(f.form.controlNames().size(), 51);
    QVERIFY(f.form.controlNames().contains(QStringLiteral("CommonDialog1")));

    for (const Expected &e : expected) {
        const QString name = QLatin1String(e.name);
        QWidget *w = f.form.control(name);
        QVERIFY2(w, e.name);
        QCOMPARE(w->objectName(), name);
        QCOMPARE(w->parentWidget(), &f.form);
        if (QLatin1String(e.kind) == QLatin1String("engine"))
            QCOMPARE(w, f.engine.widget());
        else
            QCOMPARE(QLatin1String(w->metaObject()->className()), QLatin1String(e.kind));

        QString caption;
        if (auto *button = qobject_cast<QPushButton *>(w))
            caption = button->text();
        else if (auto *label = qobject_cast<QLabel *>(w))
            caption = label->text();
        else if (auto *combo = qobject_cast<QComboBox *>(w); combo && combo->isEditable())
            caption = combo->currentText();
        else if (auto *edit = qobject_cast<QLineEdit *>(w))
            caption = edit->text();
        QCOMPARE(caption, QLatin1String(e.caption));
        if (QLatin1String(e.toolTip) == QLatin1String("*"))
            QVERIFY2(!w->toolTip().isEmpty(), e.name);
        else
            QCOMPARE(w->toolTip(), QLatin1String(e.toolTip));

        QCOMPARE(Twips::left(w), float(e.left));
        QCOMPARE(Twips::top(w), float(e.top));
        QCOMPARE(Twips::width(w), float(e.width));
        QCOMPARE(Twips::height(w), float(e.height));
        QCOMPARE(w->geometry(), QRect(e.left / 15, e.top / 15, e.width / 15, e.height / 15));
    }
    QVERIFY(f.form.timer(QStringLiteral("Timer1")));
    QVERIFY(f.form.timer(QStringLiteral("Timer2")));
}

void TestForm1::startState()
{
    FormFixture f;
    f.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
    QVERIFY(!f.form.isMinimized() && !f.form.isMaximized());
    for (const Expected &e : expected) {
        QWidget *w = f.form.control(QLatin1String(e.name));
        QVERIFY2(w->isVisible(), e.name);
        QVERIFY2(w->isEnabled(), e.name);
        if (auto *edit = qobject_cast<QLineEdit *>(w))
            QVERIFY2(edit->text().isEmpty(), e.name);
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
    for (const Expected &e : expected)
        (isLabel(e) ? labels : windowed).prepend(QLatin1String(e.name));
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
    std::vector<const Expected *> focusable;
    for (const Expected &e : expected) {
        if (isLabel(e))
            QCOMPARE(f.get(e.name)->focusPolicy(), Qt::NoFocus);
        else if (f.get(e.name)->focusPolicy() != Qt::NoFocus)
            focusable.push_back(&e);
    }
    std::sort(focusable.begin(), focusable.end(),
              [](const Expected *a, const Expected *b) { return a->tab < b->tab; });
    QStringList wanted, chain;
    for (const Expected *e : focusable)
        wanted << QLatin1String(e->name);
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

    for (const Expected &e : expected) {
        QWidget *w = f.get(e.name);
        const QString font = QLatin1String(e.font);
        if (font != QLatin1String("symbol")) {
            const QStringList parts =
                (font.isEmpty() ? QStringLiteral("sans 8.25") : font).split(QLatin1Char(' '));
            QCOMPARE(faceOf(w->font()), parts[0]);
            QCOMPARE(w->font().pointSizeF(), parts[1].toDouble());
            QCOMPARE(w->font().bold(), parts.size() > 2);
        }
        const bool label = isLabel(e);
        if (*e.text) {
            const QColor text = colour(e.text);
            QCOMPARE(w->palette().color(label ? QPalette::WindowText : QPalette::Text), text);
        }
        if (*e.background) {
            const QColor background = colour(e.background);
            QCOMPARE(w->palette().color(label ? QPalette::Window : QPalette::Base), background);
            if (label)
                QVERIFY2(w->autoFillBackground(), e.name);
        }
        if (auto *l = qobject_cast<LabelButton *>(w)) {
            QCOMPARE(l->hasBorder(), QByteArray(e.flags).contains('B'));
            QCOMPARE(l->isCentred(), QByteArray(e.flags).contains('C'));
            QCOMPARE(l->isSymbol(), font == QLatin1String("symbol"));
        }
    }
}

void TestForm1::labelsShowTheirCaptions()
{
    FormFixture f;
    for (const Expected &e : expected) {
        auto *label = qobject_cast<LabelButton *>(f.get(e.name));
        if (!label || label->isSymbol())
            continue;
        const QRect area = label->contentsRect();
        const QFontMetrics metrics(label->font());
        QString shown = label->text();
        while (shown.endsWith(QLatin1Char(' ')))
            shown.chop(1);
        if (label->captionWraps()) {
            const QRect lines = metrics.boundingRect(area, Qt::TextWordWrap, label->text());
            QVERIFY2(lines.height() <= area.height() && lines.width() <= area.width(), e.name);
        } else {
            QVERIFY2(metrics.horizontalAdvance(shown) * label->captionScale() <= area.width() + 0.5,
                     e.name);
            QVERIFY2(metrics.height() <= area.height() + 1, e.name);
        }
        QVERIFY2(label->captionScale() >= 0.8, e.name);
    }
    // The long play-list label is the one that needs narrowing, and a little only.
    auto *plLoad = f.get<LabelButton>("cmdPLLoad");
    QVERIFY(!plLoad->captionWraps());
    QVERIFY(plLoad->captionScale() > 0.85);
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
    QTimer *timer2 = f.form.timer(QStringLiteral("Timer2"));
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
    for (const Expected &e : expected)
        before.insert(QLatin1String(e.name), f.get(e.name)->geometry());
    auto unchanged = [&] {
        for (const Expected &e : expected)
            if (f.get(e.name)->geometry() != before.value(QLatin1String(e.name)))
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
    for (const Expected &e : expected)
        QCOMPARE(Twips::left(f.get(e.name)), float(e.left));
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

void TestForm1::errorsInHandlersAreShown()
{
    FormFixture f;
    f.form.runHandler([] { throw std::runtime_error("The disc is gone."); });
    QCOMPARE(f.dialog.messages, QStringList({"Error: The disc is gone."}));
    f.form.runHandler([] { throw 42; });
    QCOMPARE(f.dialog.messages.size(), 2);
    QVERIFY(f.dialog.messages.last().startsWith(QStringLiteral("Error: ")));
    // The window goes on working.
    bool ran = false;
    f.form.runHandler([&ran] { ran = true; });
    QVERIFY(ran);
    QCOMPARE(f.dialog.messages.size(), 2);
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
