// A play list of 100,000 entries through the window's own commands: Load
// List, Save List and Generate, and how quickly PlayList1 answers a click, a
// key, Next, Add and Remove while it holds them. Prints medians of several
// runs (the first run of each is a warm-up and not counted).
//
//     build/bench/bench_playlistfiles [entries, default 100000]
#include "BenchEngine.h"
#include "app/Form1.h"
#include "widgets/CommonDialog.h"
#include "widgets/LabelButton.h"
#include "widgets/PlayListBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Selects an entry without playing it.
void selectQuietly(PlayListBox &list, int index)
{
    const QSignalBlocker quiet(list);
    list.setListIndex(index);
}

constexpr int runs = 7;

// Answers every Open dialog with one path and keeps the messages.
class AnsweringDialog : public CommonDialog
{
public:
    QString answer;
    QStringList messages;

    void runMessage(const QString &text, const QString &) override { messages << text; }

protected:
    std::optional<QString> runOpenDialog(const QString &, const QString &) override
    {
        return answer;
    }
    std::optional<QColor> runColorDialog(QColor) override { return std::nullopt; }
};

double millisecondsOf(const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return double(clock.nsecsElapsed()) / 1e6;
}

struct Figures
{
    double median;
    double worst;
};

// The work is run once to warm up, then `count` times; prepare runs
// untimed before each.
Figures measure(int count, const std::function<void()> &work,
                const std::function<void()> &prepare = {})
{
    std::vector<double> times;
    for (int i = 0; i <= count; ++i) {
        if (prepare)
            prepare();
        const double ms = millisecondsOf(work);
        if (i > 0)
            times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

void paintNow(QWidget &window)
{
    window.repaint();
    QCoreApplication::processEvents();
}

void click(QWidget *widget, QPoint at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

void clickLabel(Form1 &form, const char *name)
{
    auto *label = form.findChild<LabelButton *>(QLatin1String(name));
    click(label, label->rect().center());
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int entries = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;

    QTemporaryDir work;
    if (!work.isValid())
        return 1;
    // Generate reads its head and tail from the working directory first.
    for (const char *piece : {"Pl1.txt", "pl3.txt"}) {
        const QString source =
            QCoreApplication::applicationDirPath() + QStringLiteral("/../") + QLatin1String(piece);
        if (!QFile::copy(source, work.filePath(QLatin1String(piece)))) {
            std::fprintf(stderr, "%s not found beside the build\n", piece);
            return 1;
        }
    }
    QDir::setCurrent(work.path());
    const QString saved = work.filePath(QStringLiteral("PlayList1.txt"));

    const auto engineOwner = startEngine(MpvEngine::Options::headless());
    MpvEngine &engine = *engineOwner;
    AnsweringDialog dialog;
    Form1 form(engine, dialog);
    form.show();
    QCoreApplication::processEvents();
    auto *list = form.findChild<PlayListBox *>(QStringLiteral("PlayList1"));

    // Paths as people have them: folders, blanks, a few non-Latin names.
    for (int i = 0; i < entries; ++i)
        list->addEntry(i % 10 == 9 ? QStringLiteral("/home/user/Музыка/Альбом %1/Трек %2.mp3")
                                         .arg(i / 12)
                                         .arg(i % 12 + 1)
                                   : QStringLiteral("/home/user/Music/Album %1/Track %2 - A "
                                                    "Title, Live.mp3")
                                         .arg(i / 12)
                                         .arg(i % 12 + 1));
    dialog.answer = saved;

    std::printf("play list of %d entries, median of %d runs (worst in brackets)\n", entries, runs);
    const Figures save = measure(runs, [&] { clickLabel(form, "cmdSaveList"); });
    std::printf("  Save List:   %7.1f ms (%.1f)  %lld bytes\n", save.median, save.worst,
                static_cast<long long>(QFileInfo(saved).size()));
    const Figures load = measure(runs, [&] { clickLabel(form, "cmdLoadList"); });
    std::printf("  Load List:   %7.1f ms (%.1f)  %d entries\n", load.median, load.worst,
                list->listCount());
    const Figures generate = measure(
        runs, [&] { form.findChild<QPushButton *>(QStringLiteral("cmdGenerate"))->click(); });
    std::printf("  Generate:    %7.1f ms (%.1f)  %lld bytes\n", generate.median, generate.worst,
                static_cast<long long>(QFileInfo(QStringLiteral("PlayList1.wpl")).size()));
    if (!dialog.messages.isEmpty())
        std::printf("  messages: %s\n", qPrintable(dialog.messages.join(QLatin1String("; "))));

    // Each with the window painted afterwards, as the user would see it.
    std::printf("PlayList1 with %d entries, each step until painted, median of 21\n",
                list->listCount());
    int row = list->listCount() / 2;
    const Figures clickRow = measure(
        21,
        [&] {
            click(list->viewport(), list->visualItemRect(list->item(row)).center());
            paintNow(form);
        },
        [&] {
            row = (row + 7919) % list->listCount();
            list->scrollToItem(list->item(row));
            paintNow(form);
        });
    std::printf("  click an entry:      %7.2f ms (%.2f)\n", clickRow.median, clickRow.worst);
    const Figures key = measure(21, [&] {
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(list, &down);
        paintNow(form);
    });
    std::printf("  arrow key down:      %7.2f ms (%.2f)\n", key.median, key.worst);
    const Figures end = measure(21, [&] {
        QKeyEvent press(QEvent::KeyPress, row % 2 ? Qt::Key_End : Qt::Key_Home, Qt::NoModifier);
        QApplication::sendEvent(list, &press);
        paintNow(form);
        ++row;
    });
    std::printf("  Home or End key:     %7.2f ms (%.2f)\n", end.median, end.worst);
    const Figures next = measure(
        21,
        [&] {
            form.findChild<QPushButton *>(QStringLiteral("cmdNext"))->click();
            paintNow(form);
        },
        [&] { selectQuietly(*list, int(qint64(row++) * 7919 % (list->listCount() - 1))); });
    std::printf("  Next:                %7.2f ms (%.2f)\n", next.median, next.worst);
    dialog.answer = QStringLiteral("/home/user/Music/one more.mp3");
    const Figures add = measure(21, [&] {
        clickLabel(form, "cmdAdd");
        paintNow(form);
    });
    std::printf("  Add:                 %7.2f ms (%.2f)\n", add.median, add.worst);
    const Figures remove = measure(
        21,
        [&] {
            clickLabel(form, "cmdRemove");
            paintNow(form);
        },
        [&] { selectQuietly(*list, int(qint64(row++) * 7919 % list->listCount())); });
    std::printf("  Remove:              %7.2f ms (%.2f)\n", remove.median, remove.worst);
    const Figures clear = measure(
        1,
        [&] {
            clickLabel(form, "cmdNewList");
            paintNow(form);
        },
        [&] {
            dialog.answer = saved;
            clickLabel(form, "cmdLoadList");
        });
    std::printf("  New List (clear):    %7.2f ms\n", clear.median);
    return 0;
}
