// Fills the play list with many entries and prints how long the list box
// takes to fill, show, select, read and empty them.
#include "widgets/PlayListBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <cstdio>
#include <functional>

namespace {

double millisecondsOf(const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int entries = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;

    PlayListBox list;
    list.resize(225, 186);
    list.show();
    QCoreApplication::processEvents();
    int clicks = 0;
    QObject::connect(&list, &PlayListBox::listClick, [&clicks] { ++clicks; });

    std::printf("play list box, %d entries\n", entries);
    const double fill = millisecondsOf([&] {
        for (int i = 0; i < entries; ++i)
            list.addEntry(QStringLiteral("/home/user/Music/Album %1/Track %2.mp3")
                              .arg(i / 12)
                              .arg(i % 12 + 1));
    });
    std::printf("  append one by one:      %8.1f ms (%.2f us an entry)\n", fill,
                fill * 1000 / entries);
    const double paint = millisecondsOf([&] {
        list.repaint();
        QCoreApplication::processEvents();
    });
    std::printf("  first paint:            %8.1f ms\n", paint);
    const double selectLast = millisecondsOf([&] {
        list.setListIndex(entries - 1);
        list.repaint();
    });
    std::printf("  select last and show:   %8.1f ms (%d click)\n", selectLast, clicks);
    const double stepping = millisecondsOf([&] {
        for (int i = 0; i < 1000; ++i)
            list.setListIndex((i * 7919) % entries);
    });
    std::printf("  1000 selections:        %8.1f ms (%.3f ms each)\n", stepping, stepping / 1000);
    qsizetype characters = 0;
    const double reading = millisecondsOf([&] {
        for (int i = 0; i < list.listCount(); ++i)
            characters += list.list(i).size();
        characters += list.text().size() + list.listIndex();
    });
    std::printf("  read every entry:       %8.1f ms (%lld characters)\n", reading,
                static_cast<long long>(characters));
    const double keys = millisecondsOf([&] {
        list.setFocus();
        for (int i = 0; i < 100; ++i) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier);
            QApplication::sendEvent(&list, &press);
        }
        QCoreApplication::processEvents();
    });
    std::printf("  100 page-up keys:       %8.1f ms\n", keys);
    const double clear = millisecondsOf([&] { list.clearEntries(); });
    std::printf("  new list (clear all):   %8.1f ms\n", clear);
    return 0;
}
